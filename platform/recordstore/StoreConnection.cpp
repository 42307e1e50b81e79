#include "platform/recordstore/StoreConnection.h"
#include "platform/recordstore/FileSafety.h"
#include "platform/recordstore/SchemaCheck.h"
#include "platform/recordstore/SchemaGuard.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/TextCollation.h"
#include "platform/secure/SecretBytes.h"
#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

namespace ql {

StoreConnection::~StoreConnection() { close(); }

int StoreConnection::fail(int code) {
    lastCode_ = code;
    message_ = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(code));
    return code;
}

int StoreConnection::open(const QString& path, const SecretBytes& rawKey, bool create,
                          bool readOnly, int waitMs, bool exclusive) {
    close();
    if (tableFileIsLinked(path)) {
        setError(SQLITE_CANTOPEN, QStringLiteral("%1 or a file beside it is a symbolic link").arg(path));
        return lastCode_;
    }
    QString why;
    const int verdict = guardFileSchema({path, &rawKey, waitMs}, why);
    if (verdict != SQLITE_OK) {
        setError(verdict, verdict == kForeignSchema ? QStringLiteral("Not a valid data file") : why);
        return verdict;
    }
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    handle_.reset(db_, [](sqlite3* db) { sqlite3_close_v2(db); });
    if (rc != SQLITE_OK) {
        fail(rc);
        close();
        return lastCode_;
    }
    sqlite3_extended_result_codes(db_, 1);
    setWait(waitMs);
    if (!rawKey.isEmpty()) {
        rc = sqlite3_key(db_, rawKey.constData(), static_cast<int>(rawKey.size()));
        if (rc == SQLITE_OK)
            rc = exec(QStringLiteral("PRAGMA cipher_page_size = 4096"));
    } else if (create) {
        rc = exec(QStringLiteral("PRAGMA page_size = 4096"));
    }
    // Sorts and temporary tables (key builds sort passwords) stay in memory.
    if (rc == SQLITE_OK)
        rc = exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
    if (rc == SQLITE_OK)
        rc = registerTextCollation(db_);
    if (rc == SQLITE_OK && exclusive)
        rc = exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    if (rc == SQLITE_OK)
        rc = checkFileSchema(db_);
    if (rc == kForeignSchema) {
        close();
        setError(kForeignSchema, QStringLiteral("Not a valid data file"));
    } else if (rc != SQLITE_OK) {
        fail(rc);
        const int code = lastCode_;
        const QString text = message_;
        close();
        setError(code, text);
    } else {
        noteCheckedFile(path);
    }
    return rc;
}

void StoreConnection::noteCheckedFile(const QString& path) {
    struct stat st {};
    checked_ = CheckedFile{};
    if (stat(QFile::encodeName(path).constData(), &st) == 0)
        checked_ = CheckedFile{path, st.st_dev, st.st_ino};
}

void StoreConnection::share(const StoreConnection& host) {
    close();
    handle_ = host.handle_;
    db_ = host.db_;
    checked_ = host.checked_;
    lastCode_ = 0;
    message_.clear();
}

void StoreConnection::close() {
    finalizeAll();
    const bool last = handle_ && handle_.use_count() == 1;
    handle_.reset(); // the last one closes the engine's connection (and checkpoints)
    db_ = nullptr;
    if (last && !checked_.path.isEmpty())
        vouchForFile(checked_.path, checked_.device, checked_.inode);
    checked_ = CheckedFile{};
}

void StoreConnection::finalizeAll() {
    for (sqlite3_stmt* s : std::as_const(statements_))
        sqlite3_finalize(s);
    statements_.clear();
    for (sqlite3_stmt* s : slots_)
        sqlite3_finalize(s);
    slots_.clear();
}

sqlite3_stmt* StoreConnection::statement(const CachedQuery& query) {
    if (query.slot < static_cast<int>(slots_.size()) && slots_[query.slot]) {
        sqlite3_stmt* st = slots_[query.slot];
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        return st;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = query.sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &st,
                                      nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
        sqlite3_finalize(st);
        return nullptr;
    }
    if (query.slot >= static_cast<int>(slots_.size()))
        slots_.resize(query.slot + 1, nullptr);
    slots_[query.slot] = st;
    return st;
}

void StoreConnection::setWait(int waitMs) {
    if (db_)
        sqlite3_busy_timeout(db_, waitMs);
}

int StoreConnection::changes() const { return db_ ? sqlite3_changes(db_) : 0; }

namespace {
bool onlySeparators(const char* text) {
    for (; text && *text; ++text)
        if (*text != ';' && *text != ' ' && *text != '\n' && *text != '\t' && *text != '\r')
            return false;
    return true;
}
} // namespace

int StoreConnection::exec(const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &st, &tail);
    if (rc != SQLITE_OK) {
        fail(rc);
        sqlite3_finalize(st);
        return rc;
    }
    if (!onlySeparators(tail)) {
        sqlite3_finalize(st);
        setError(SQLITE_MISUSE, QStringLiteral("More than one statement in one call"));
        return SQLITE_MISUSE;
    }
    while (st && (rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (st && rc != SQLITE_DONE)
        fail(rc);
    sqlite3_finalize(st);
    return !st || rc == SQLITE_DONE ? SQLITE_OK : lastCode_;
}

sqlite3_stmt* StoreConnection::statement(const QString& sql) {
    auto it = statements_.constFind(sql);
    if (it != statements_.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt,
                                      nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    statements_.insert(sql, stmt);
    return stmt;
}

} // namespace ql
