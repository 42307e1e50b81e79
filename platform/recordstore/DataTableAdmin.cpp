// Batches, key rebuilding, removing tables and text commands.
#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/RowIo.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/StoreConnection.h"
#include "platform/recordstore/TableRekey.h"
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace ql {

using namespace store_error;

int DataTable::stream() {
    if (!requireOpen(true))
        return errorCode_;
    if (!inBatch_) {
        if (conn_->exec(QStringLiteral("BEGIN IMMEDIATE")) != SQLITE_OK)
            return failDriver(*conn_);
        inBatch_ = true;
    }
    return ok();
}

int DataTable::flush() {
    if (!isOpen())
        return fail(NotOpen);
    if (!inBatch_)
        return ok();
    inBatch_ = false;
    if (conn_->exec(QStringLiteral("COMMIT")) != SQLITE_OK) {
        failDriver(*conn_);
        conn_->exec(QStringLiteral("ROLLBACK"));
        return errorCode_;
    }
    return ok();
}

int DataTable::cancelBatch() {
    if (!isOpen())
        return fail(NotOpen);
    if (inBatch_) {
        inBatch_ = false;
        conn_->exec(QStringLiteral("ROLLBACK"));
    }
    currentRow_ = 0;
    return ok();
}

int DataTable::buildKeys() {
    if (isOpen()) {
        if (readOnly_)
            return fail(AccessDenied);
        return rebuildIndexes();
    }
    const int opened = openConnection(access_mode::SharedReadWrite, false);
    if (opened != NoError)
        return opened;
    const int result = rebuildIndexes();
    close(); // leaves the error of the rebuild in place
    return result;
}

// Drops and recreates the declared keys by their own names. A key the layout
// does not declare goes with a rewrite of the table: no name read from the
// file is ever put into a statement.
int DataTable::rebuildIndexes() {
    if (beginWrite() != NoError)
        return errorCode_;
    const std::vector<SqlSchema::Index> declared = schema_->indexes();
    int rc = SQLITE_OK;
    for (const SqlSchema::Index& index : declared)
        if (rc == SQLITE_OK)
            rc = conn_->exec(QLatin1String("DROP INDEX IF EXISTS ") + quoteIdentifier(index.name));
    const int undeclared = rc == SQLITE_OK ? storedIndexCount(*conn_, schema_->table()) : 0;
    if (undeclared < 0) {
        rc = conn_->lastCode();
    } else if (undeclared > 0) {
        rc = rewriteTable(*conn_, *schema_, def_);
    } else {
        for (const SqlSchema::Index& index : declared)
            if (rc == SQLITE_OK)
                rc = conn_->exec(index.sql);
    }
    int result = NoError;
    if (rc == SQLITE_CONSTRAINT_UNIQUE) {
        conn_->fail(rc);
        const int k = schema_->keyForUniqueMessage(conn_->message());
        fail(DuplicateKey);
        duplicateKey_ = k >= 0 ? def_.keys[k].description : QString();
        result = DuplicateKey;
    } else if (rc != SQLITE_OK) {
        result = failDriver(*conn_);
    }
    conn_->finalizeAll();
    return endWrite(result);
}

int DataTable::removeFile() {
    close();
    const TableLocation loc = locateTable(storedAs_);
    if (!QFileInfo::exists(loc.filePath))
        return fail(NotFound, QStringLiteral("File not found: %1").arg(storedAs_));
    if (!loc.inContainer) {
        removeDataFile(loc.filePath);
        return QFileInfo::exists(loc.filePath) ? fail(AccessDenied) : ok();
    }
    StoreConnection conn;
    if (conn.open(loc.filePath, rawTableKey(def_.owner), false, false, recoverSeconds_ * 1000) !=
        SQLITE_OK)
        return failDriver(conn);
    int rc = conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (rc == SQLITE_OK)
        rc = conn.exec(QLatin1String("DROP TABLE ") + quoteIdentifier(loc.table));
    if (rc == SQLITE_OK)
        rc = writeStructureVersion(conn, loc.table, -1);
    if (rc == SQLITE_OK)
        rc = conn.exec(QStringLiteral("COMMIT"));
    if (rc != SQLITE_OK) {
        const bool missing = conn.message().startsWith(QLatin1String("no such table"));
        failDriver(conn);
        conn.exec(QStringLiteral("ROLLBACK"));
        return missing ? fail(NotFound) : errorCode_;
    }
    sqlite3_stmt* left = conn.statement(QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name <> 'ql_meta'"));
    const bool empty = left && sqlite3_step(left) == SQLITE_ROW && sqlite3_column_int(left, 0) == 0;
    conn.close();
    if (empty)
        removeDataFile(loc.filePath);
    return ok();
}

int DataTable::send(const QString& command) {
    const QString cmd = command.trimmed();
    if (cmd.startsWith(QLatin1String("Recover="), Qt::CaseInsensitive)) {
        bool number = false;
        const int seconds = cmd.mid(8).trimmed().toInt(&number);
        if (!number || seconds < 0)
            return fail(DriverError, QStringLiteral("Bad command: %1").arg(cmd));
        recoverSeconds_ = seconds;
        conn_->setWait(seconds * 1000);
        return ok();
    }
    if (cmd.compare(QLatin1String("QUICKSCAN=on"), Qt::CaseInsensitive) == 0 ||
        cmd.compare(QLatin1String("QUICKSCAN=off"), Qt::CaseInsensitive) == 0) {
        quickScan_ = cmd.endsWith(QLatin1String("on"), Qt::CaseInsensitive);
        return ok();
    }
    return fail(DriverError, QStringLiteral("Unknown command: %1").arg(cmd));
}

void DataTable::setFileName(const QString& name) { storedAs_ = name; }

} // namespace ql
