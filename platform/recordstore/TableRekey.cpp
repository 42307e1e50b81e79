#include "platform/recordstore/TableRekey.h"
#include "platform/recordstore/FileSafety.h"
#include "platform/recordstore/StoreConnection.h"
#include "platform/secure/SecretBytes.h"
#include <QFile>
#include <sqlite3.h>

namespace ql {

namespace {

constexpr int kWaitMs = 10000;

bool failed(const StoreConnection& conn, const QString& what, QString& error) {
    error = what + QStringLiteral(": ") + conn.message();
    return false;
}

// The target joins the source's connection keyed by bound values, so no key
// text is ever part of a statement's text.
bool attachTarget(StoreConnection& conn, const QString& target, const SecretBytes& newKey) {
    sqlite3_stmt* attach = conn.statement(QStringLiteral("ATTACH DATABASE ?1 AS rekey KEY ?2"));
    if (!attach)
        return false;
    const QByteArray path = target.toUtf8();
    sqlite3_bind_text(attach, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(attach, 2, newKey.constData(), int(newKey.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(attach);
    sqlite3_clear_bindings(attach);
    sqlite3_reset(attach);
    if (rc != SQLITE_DONE)
        conn.fail(rc);
    return rc == SQLITE_DONE;
}

bool copyInto(StoreConnection& conn, QString& error) {
    for (const char* sql : {"PRAGMA rekey.cipher_page_size = 4096", "SELECT sqlcipher_export('rekey')",
                            "PRAGMA rekey.journal_mode = WAL", "DETACH DATABASE rekey"})
        if (conn.exec(QLatin1String(sql)) != SQLITE_OK)
            return failed(conn, QStringLiteral("Cannot copy the tables"), error);
    return true;
}

} // namespace

void removeDataFile(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

bool exportUnderKey(const QString& path, const SecretBytes& oldKey, const QString& target,
                    const SecretBytes& newKey, QString& error) {
    removeDataFile(target);
    if (!createDataFileNoFollow(target)) {
        error = QStringLiteral("Cannot create ") + target;
        return false;
    }
    {
        StoreConnection source;
        if (source.open(path, oldKey, false, false, kWaitMs) != SQLITE_OK)
            return failed(source, QStringLiteral("Cannot open ") + path, error);
        if (!attachTarget(source, target, newKey))
            return failed(source, QStringLiteral("Cannot create ") + target, error);
        if (!copyInto(source, error))
            return false;
    }
    StoreConnection check; // read-write: closing it leaves no journal files behind
    if (check.open(target, newKey, false, false, kWaitMs) != SQLITE_OK)
        return failed(check, QStringLiteral("The copy does not open"), error);
    return true;
}

} // namespace ql
