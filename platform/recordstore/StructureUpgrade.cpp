// Converting a table stored under an older structure to the declared layout.
#include "platform/recordstore/RowIo.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/StoreConnection.h"
#include "platform/recordstore/StructureRegistry.h"
#include <QSet>
#include <QStringList>
#include <sqlite3.h>

namespace ql {

namespace {
// The schema keeps this as kMetaTableSql (SchemaCheck.h), which opening expects.
const char kMetaTable[] = "CREATE TABLE IF NOT EXISTS ql_meta "
                          "(tbl TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)";

int storedVersion(StoreConnection& conn, const QString& table) {
    if (conn.exec(QLatin1String(kMetaTable)) != SQLITE_OK)
        return -1;
    sqlite3_stmt* st = conn.statement(QStringLiteral("SELECT version FROM ql_meta WHERE tbl = ?1"));
    if (!st)
        return -1;
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int version = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_reset(st);
    return version;
}

// Upper-cased names of a table's stored columns. They are only compared with
// the declared names, never put into a statement.
QSet<QString> storedColumns(StoreConnection& conn, const QString& table) {
    QSet<QString> cols;
    sqlite3_stmt* st = conn.statement(QLatin1String("PRAGMA table_info(") + quoteIdentifier(table) +
                                      u')');
    while (st && sqlite3_step(st) == SQLITE_ROW)
        cols.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))
                        .toUpper());
    if (st)
        sqlite3_reset(st);
    return cols;
}

// The value a declared field takes from the old row: its namesake cut to the
// new width, or blank/zero when the old layout had no such field.
QString sourceExpression(const SqlSchema& schema, const TableDef& def, int field,
                         const QSet<QString>& oldColumns) {
    const FieldDef& f = def.fields[field];
    const bool present = oldColumns.contains(f.name.mid(f.name.indexOf(u':') + 1).toUpper());
    const QString old = schema.columnName(field);
    if (isTextType(f.type)) {
        if (!present)
            return QStringLiteral("''");
        // Texts keep their blanks, but for those of a key that compares exactly.
        const QString cut = QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(old).arg(f.width);
        return def.inExactKey(field) ? QStringLiteral("rtrim(%1, ' ')").arg(cut) : cut;
    }
    if (f.type == FieldType::Blob)
        return !present ? QStringLiteral("x''") : QStringLiteral("CAST(%1 AS BLOB)").arg(old);
    return !present ? QStringLiteral("0") : QStringLiteral("CAST(%1 AS INTEGER)").arg(old);
}
} // namespace

int storedIndexCount(StoreConnection& conn, const QString& table) {
    sqlite3_stmt* st = conn.statement(QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1"));
    if (!st)
        return -1;
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_reset(st);
    return count;
}

// The old table is renamed aside with its keys and dropped with them once its
// rows are copied, so its keys' names are never needed.
int rewriteTable(StoreConnection& conn, const SqlSchema& schema, const TableDef& def) {
    const QString table = quoteIdentifier(schema.table());
    const QString moved = quoteIdentifier(schema.table() + QLatin1String("__old"));
    const QSet<QString> oldColumns = storedColumns(conn, schema.table());
    int rc = oldColumns.isEmpty() ? SQLITE_ERROR : SQLITE_OK;
    if (rc == SQLITE_OK)
        rc = conn.exec(QLatin1String("ALTER TABLE ") + table + QLatin1String(" RENAME TO ") + moved);
    if (rc == SQLITE_OK)
        rc = conn.exec(schema.createTable());
    QStringList targets{QStringLiteral("rowid")}, sources{QStringLiteral("rowid")};
    for (size_t i = 0; i < def.fields.size(); ++i) {
        targets << schema.columnName(static_cast<int>(i));
        sources << sourceExpression(schema, def, static_cast<int>(i), oldColumns);
    }
    if (rc == SQLITE_OK)
        rc = conn.exec(QLatin1String("INSERT INTO ") + table + QLatin1String(" (") +
                       targets.join(QLatin1String(", ")) + QLatin1String(") SELECT ") +
                       sources.join(QLatin1String(", ")) + QLatin1String(" FROM ") + moved);
    if (rc == SQLITE_OK)
        rc = conn.exec(QLatin1String("DROP TABLE ") + moved);
    for (const SqlSchema::Index& index : schema.indexes())
        if (rc == SQLITE_OK)
            rc = conn.exec(index.sql);
    return rc;
}

int writeStructureVersion(StoreConnection& conn, const QString& table, int version) {
    int rc = conn.exec(QLatin1String(kMetaTable));
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_stmt* st = conn.statement(
        version < 0 ? QStringLiteral("DELETE FROM ql_meta WHERE tbl = ?1")
                    : QStringLiteral("INSERT OR REPLACE INTO ql_meta (tbl, version) VALUES (?1, ?2)"));
    if (!st)
        return conn.lastCode();
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    if (version >= 0)
        sqlite3_bind_int(st, 2, version);
    rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? SQLITE_OK : conn.fail(rc);
}

int upgradeStructure(StoreConnection& conn, const SqlSchema& schema, const TableDef& def) {
    const int declared = registeredStructureVersion(def.prefix);
    if (declared < 0)
        return SQLITE_SCHEMA;
    int rc = conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (rc != SQLITE_OK)
        return rc;
    const int stored = storedVersion(conn, schema.table());
    rc = stored >= declared ? SQLITE_SCHEMA : rewriteTable(conn, schema, def);
    if (rc == SQLITE_OK)
        rc = writeStructureVersion(conn, schema.table(), declared);
    if (rc == SQLITE_OK)
        rc = conn.exec(QStringLiteral("COMMIT"));
    if (rc != SQLITE_OK) {
        const int code = conn.lastCode();
        const QString message = conn.message();
        conn.exec(QStringLiteral("ROLLBACK"));
        conn.finalizeAll();
        conn.setError(code, message);
        return rc == SQLITE_SCHEMA ? rc : code;
    }
    conn.finalizeAll();
    return SQLITE_OK;
}

} // namespace ql
