#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/FileSafety.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/RowIo.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/StoreConnection.h"
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace ql {

using namespace store_error;

namespace {
QString textFor(int code) {
    switch (code) {
    case NotFound: return QStringLiteral("File not found");
    case AccessDenied: return QStringLiteral("Access denied");
    case Locked: return QStringLiteral("File is locked by another user");
    case EndOfFile: return QStringLiteral("Record not available");
    case RecordNotFound: return QStringLiteral("Record not found");
    case InvalidFile: return QStringLiteral("Not a valid data file, or wrong owner key");
    case NotOpen: return QStringLiteral("File not open");
    case DuplicateKey: return QStringLiteral("Creates duplicate key");
    case KeysInvalid: return QStringLiteral("Keys need to be rebuilt");
    case BadDeclaration: return QStringLiteral("Record declaration does not match the file");
    case AlreadyOpen: return QStringLiteral("File already open");
    case DriverError: return QStringLiteral("Driver error");
    default: return {};
    }
}
QString linkedFileText(const QString& storedAs) {
    return QStringLiteral("%1 or a file beside it is a symbolic link").arg(storedAs);
}
} // namespace

int storeErrorFor(int sqliteCode) {
    switch (sqliteCode & 0xff) {
    case SQLITE_OK: return NoError;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return Locked;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH: return AccessDenied;
    case SQLITE_NOTADB: return InvalidFile;
    case SQLITE_CANTOPEN: return AccessDenied; // missing files are found out before opening
    default: return DriverError;
    }
}

// The buffer refers to a program-wide layout directly, so that copies of it
// (a window's current user, say) stay valid after the table is gone; any other
// layout is the table's own copy.
DataTable::DataTable(const TableDef& def)
    : def_(def), record_(def.permanent() ? def : def_), storedAs_(def.storedAs),
      conn_(std::make_unique<StoreConnection>()), cursor_(std::make_unique<Cursor>()) {}

DataTable::~DataTable() { close(); }

bool DataTable::isOpen() const { return conn_->isOpen() && schema_ != nullptr; }

int DataTable::ok() {
    errorCode_ = NoError;
    errorText_.clear();
    driverCode_.clear();
    driverText_.clear();
    duplicateKey_.clear();
    return NoError;
}

int DataTable::fail(int code, const QString& text) {
    ok();
    errorCode_ = code;
    errorText_ = text.isEmpty() ? textFor(code) : text;
    return code;
}

int DataTable::failDriver(const StoreConnection& conn) {
    const int code = storeErrorFor(conn.lastCode());
    const bool foreign = conn.lastCode() == kForeignSchema;
    fail(code, code == InvalidFile && !foreign ? QString() : conn.message());
    if (code == DriverError || code == InvalidFile) {
        driverCode_ = QString::number(conn.lastCode());
        driverText_ = conn.message();
    }
    return code;
}

bool DataTable::requireOpen(bool forWriting) {
    if (!isOpen()) {
        fail(NotOpen);
        return false;
    }
    if (forWriting && readOnly_) {
        fail(AccessDenied, QStringLiteral("Access denied: the table is open for reading only"));
        return false;
    }
    return true;
}

bool DataTable::validKey(int key) {
    if (key >= 0 && key < static_cast<int>(def_.keys.size()))
        return true;
    fail(DriverError, QStringLiteral("No key number %1 in %2").arg(key).arg(def_.label));
    return false;
}

int DataTable::create() {
    if (isOpen())
        return ok();
    const TableLocation loc = locateTable(storedAs_);
    const SecretBytes key = rawTableKey(def_.owner);
    if (def_.owner != OwnerKeyKind::None && key.isEmpty())
        return fail(DriverError, QStringLiteral("The owner key is not set"));
    if (tableFileIsLinked(loc.filePath))
        return fail(AccessDenied, linkedFileText(storedAs_));
    if (!QFileInfo::exists(loc.filePath) && !createDataFileNoFollow(loc.filePath))
        return fail(AccessDenied, QStringLiteral("Cannot create %1 (a symbolic link is never "
                                                 "followed)").arg(storedAs_));
    const bool fresh = QFileInfo(loc.filePath).size() == 0;
    StoreConnection conn;
    if (conn.open(loc.filePath, key, true, false, recoverSeconds_ * 1000) != SQLITE_OK)
        return failDriver(conn);
    if (fresh && conn.exec(QStringLiteral("PRAGMA journal_mode = WAL")) != SQLITE_OK)
        return failDriver(conn);
    SqlSchema schema(def_, loc.table);
    if (conn.exec(QStringLiteral("BEGIN IMMEDIATE")) != SQLITE_OK)
        return failDriver(conn);
    sqlite3_stmt* exists = conn.statement(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
    int rc = exists ? SQLITE_OK : conn.lastCode();
    if (exists) {
        const QByteArray name = loc.table.toUtf8();
        sqlite3_bind_text(exists, 1, name.constData(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        const bool present = sqlite3_step(exists) == SQLITE_ROW;
        sqlite3_reset(exists);
        if (!present) {
            rc = conn.exec(schema.createTable());
            for (const SqlSchema::Index& index : schema.indexes())
                if (rc == SQLITE_OK)
                    rc = conn.exec(index.sql);
            if (rc == SQLITE_OK)
                rc = writeStructureVersion(conn, loc.table, def_.structureVersion);
        }
    }
    if (rc == SQLITE_OK)
        rc = conn.exec(QStringLiteral("COMMIT"));
    if (rc != SQLITE_OK) {
        failDriver(conn);
        conn.exec(QStringLiteral("ROLLBACK"));
        return errorCode_;
    }
    return ok();
}

int DataTable::open(int accessMode) {
    if (isOpen())
        return fail(AlreadyOpen);
    return openConnection(accessMode, true);
}

int DataTable::openConnection(int accessMode, bool checkKeys) {
    const TableLocation loc = locateTable(storedAs_);
    if (tableFileIsLinked(loc.filePath))
        return fail(AccessDenied, linkedFileText(storedAs_));
    if (!QFileInfo::exists(loc.filePath))
        return fail(NotFound, QStringLiteral("File not found: %1").arg(storedAs_));
    const SecretBytes key = rawTableKey(def_.owner);
    if (def_.owner != OwnerKeyKind::None && key.isEmpty())
        return fail(DriverError, QStringLiteral("The owner key is not set"));
    readOnly_ = (accessMode & 0x0f) == 0;
    const bool exclusive = (accessMode & 0xf0) == 0x10;
    if (conn_->open(loc.filePath, key, false, readOnly_, recoverSeconds_ * 1000,
                    exclusive) != SQLITE_OK)
        return failDriver(*conn_);
    return finishOpen(loc, checkKeys);
}

int DataTable::openOn(DataTable& host) {
    if (isOpen())
        return fail(AlreadyOpen);
    if (!host.isOpen())
        return fail(NotOpen, QStringLiteral("The table to share a connection with is not open"));
    const TableLocation loc = locateTable(storedAs_);
    const QString hostFile = QString::fromUtf8(sqlite3_db_filename(host.conn_->db(), "main"));
    if (def_.owner != host.def_.owner || !QFileInfo::exists(loc.filePath) ||
        QFileInfo(hostFile).canonicalFilePath() != QFileInfo(loc.filePath).canonicalFilePath())
        return fail(DriverError, QStringLiteral("%1 is not in the file of %2")
                                     .arg(storedAs_, host.storedAs_));
    conn_->share(*host.conn_);
    readOnly_ = host.readOnly_;
    return finishOpen(loc, true);
}

int DataTable::finishOpen(const TableLocation& loc, bool checkKeys) {
    schema_ = std::make_unique<SqlSchema>(def_, loc.table);
    const int result = checkStructure(checkKeys);
    if (result != NoError) {
        schema_.reset();
        conn_->close();
        return result;
    }
    conn_->exec(QStringLiteral("PRAGMA synchronous = FULL"));
    conn_->exec(QStringLiteral("PRAGMA cache_size = -65536"));
    *cursor_ = Cursor{};
    currentRow_ = 0;
    inBatch_ = false;
    return ok();
}

// Compares the stored table and its keys with the declared layout; converts
// an older registered structure first. The file as a whole was checked when
// the connection opened.
int DataTable::checkStructure(bool checkKeys) {
    sqlite3_stmt* st = conn_->statement(
        QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE tbl_name = ?1"));
    if (!st)
        return failDriver(*conn_);
    const QByteArray name = schema_->table().toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    QString tableSql;
    QHash<QString, QString> indexes;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QString type = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        const QString sql = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        if (type == QLatin1String("table"))
            tableSql = sql;
        else
            indexes.insert(QString::fromUtf8(reinterpret_cast<const char*>(
                               sqlite3_column_text(st, 1))), sql);
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        return failDriver(*conn_);
    if (tableSql.isEmpty())
        return fail(NotFound, QStringLiteral("Table not found: %1").arg(storedAs_));
    if (tableSql != schema_->createTable()) {
        if (readOnly_)
            return fail(BadDeclaration);
        rc = upgradeStructure(*conn_, *schema_, def_);
        if (rc == SQLITE_SCHEMA)
            return fail(BadDeclaration);
        return rc == SQLITE_OK ? NoError : failDriver(*conn_);
    }
    if (checkKeys) {
        const std::vector<SqlSchema::Index> declared = schema_->indexes();
        bool same = indexes.size() == static_cast<qsizetype>(declared.size());
        for (const SqlSchema::Index& index : declared)
            same = same && indexes.value(index.name) == index.sql;
        if (!same)
            return fail(KeysInvalid);
    }
    return NoError;
}

// Tables under the owner key hold users and entries: their buffer is wiped
// here so that no password outlives the table in memory (copies taken of it
// stay valid, they own their text).
void DataTable::close() {
    if (inBatch_)
        flush();
    if (def_.owner == OwnerKeyKind::Owner)
        record_.wipe();
    schema_.reset();
    conn_->close();
    *cursor_ = Cursor{};
    currentRow_ = 0;
    inBatch_ = false;
}

int DataTable::beginWrite() {
    joinedWrite_ = false;
    if (inBatch_)
        return NoError;
    // On a shared connection the host's batch is open: write inside it.
    if (!sqlite3_get_autocommit(conn_->db())) {
        joinedWrite_ = true;
        return NoError;
    }
    if (conn_->exec(QStringLiteral("BEGIN IMMEDIATE")) != SQLITE_OK)
        return failDriver(*conn_);
    return NoError;
}

// Ends a single write: commits on success, rolls back otherwise. Inside a
// batch only notices whether the engine gave up the whole transaction.
int DataTable::endWrite(int result) {
    if (inBatch_ || joinedWrite_) {
        if (sqlite3_get_autocommit(conn_->db())) {
            inBatch_ = false;
            if (result == NoError)
                return fail(DriverError, QStringLiteral("The batch was rolled back"));
        }
        return result;
    }
    if (result != NoError) {
        if (!sqlite3_get_autocommit(conn_->db()))
            conn_->exec(QStringLiteral("ROLLBACK"));
        return result;
    }
    if (conn_->exec(QStringLiteral("COMMIT")) != SQLITE_OK) {
        failDriver(*conn_);
        conn_->exec(QStringLiteral("ROLLBACK"));
        return errorCode_;
    }
    return ok();
}

int DataTable::add() { return writeRecord(true); }
int DataTable::put() { return writeRecord(false); }

int DataTable::writeRecord(bool insert) {
    if (!requireOpen(true))
        return errorCode_;
    if (!insert && currentRow_ == 0)
        return fail(RecordNotFound, QStringLiteral("No current record to write back"));
    if (beginWrite() != NoError)
        return errorCode_;
    const int autoField = insert ? def_.autoIncrementField() : -1;
    const bool numbering = autoField >= 0 && record_.number(autoField) == 0;
    int result = NoError;
    if (numbering) {
        sqlite3_stmt* mx = conn_->statement(schema_->maxOf(autoField));
        if (mx && sqlite3_step(mx) == SQLITE_ROW)
            record_.setNumber(autoField, sqlite3_column_int64(mx, 0) + 1);
        else
            result = failDriver(*conn_);
        if (mx)
            sqlite3_reset(mx);
    }
    sqlite3_stmt* st = nullptr;
    if (result == NoError) {
        st = conn_->statement(insert ? schema_->insert() : schema_->update());
        if (!st)
            result = failDriver(*conn_);
    }
    if (st) {
        bindRecord(st, record_);
        if (!insert)
            sqlite3_bind_int64(st, static_cast<int>(def_.fields.size()) + 1, currentRow_);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
            conn_->fail(rc);
            const int k = firstClashingKey(insert);
            fail(DuplicateKey);
            duplicateKey_ = k >= 0 ? def_.keys[k].description : QString();
            result = DuplicateKey;
        } else if (rc != SQLITE_DONE) {
            result = failDriver(*conn_);
        } else if (!insert && conn_->changes() == 0) {
            result = fail(RecordNotFound);
        } else if (insert) {
            currentRow_ = sqlite3_last_insert_rowid(conn_->db());
        }
    }
    if (result != NoError && numbering)
        record_.setNumber(autoField, 0);
    return endWrite(result);
}

// The first unique key, in declared order, whose value in the buffer another
// record already holds. The engine names only the index it checked first.
int DataTable::firstClashingKey(bool insert) {
    const QString engineMessage = conn_->message();
    for (size_t k = 0; k < def_.keys.size(); ++k) {
        if (!def_.keys[k].unique)
            continue;
        sqlite3_stmt* st = conn_->statement(schema_->fetch(static_cast<int>(k)));
        if (!st)
            break;
        const std::vector<int>& comps = def_.keys[k].components;
        for (size_t i = 0; i < comps.size(); ++i)
            bindField(st, static_cast<int>(i) + 1, record_, comps[i]);
        const bool clash = sqlite3_step(st) == SQLITE_ROW &&
                           (insert || sqlite3_column_int64(st, 0) != currentRow_);
        sqlite3_reset(st);
        if (clash)
            return static_cast<int>(k);
    }
    return schema_->keyForUniqueMessage(engineMessage);
}

bool DataTable::duplicates(int keyIndex, bool insert) {
    if (!requireOpen() || !validKey(keyIndex) || !def_.keys[keyIndex].unique)
        return false;
    sqlite3_stmt* st = conn_->statement(schema_->fetch(keyIndex));
    if (!st) {
        failDriver(*conn_);
        return false;
    }
    const std::vector<int>& comps = def_.keys[keyIndex].components;
    for (size_t i = 0; i < comps.size(); ++i)
        bindField(st, static_cast<int>(i) + 1, record_, comps[i]);
    const bool clash = sqlite3_step(st) == SQLITE_ROW &&
                       (insert || sqlite3_column_int64(st, 0) != currentRow_);
    sqlite3_reset(st);
    ok();
    return clash;
}

int DataTable::remove() {
    if (!requireOpen(true))
        return errorCode_;
    if (currentRow_ == 0)
        return fail(RecordNotFound, QStringLiteral("No current record to delete"));
    if (beginWrite() != NoError)
        return errorCode_;
    int result = NoError;
    sqlite3_stmt* st = conn_->statement(schema_->remove());
    if (!st) {
        result = failDriver(*conn_);
    } else {
        sqlite3_bind_int64(st, 1, currentRow_);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE)
            result = failDriver(*conn_);
        else if (conn_->changes() == 0)
            result = fail(RecordNotFound);
    }
    if (result == NoError)
        currentRow_ = 0;
    return endWrite(result);
}

qint64 DataTable::records() {
    if (!requireOpen())
        return -1;
    sqlite3_stmt* st = conn_->statement(schema_->count());
    if (!st || sqlite3_step(st) != SQLITE_ROW) {
        failDriver(*conn_);
        return -1;
    }
    const qint64 n = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    ok();
    return n;
}

} // namespace ql
