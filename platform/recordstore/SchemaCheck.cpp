#include "platform/recordstore/SchemaCheck.h"
#include "platform/recordstore/StoreConnection.h" // kForeignSchema
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <sqlite3.h>

namespace ql {

namespace {

// Every column SqlSchema writes: a plain name, one of the declared types with
// its fixed default, and the case-folding collation on text columns only.
const QRegularExpression& columnPattern() {
    static const QRegularExpression re(QStringLiteral(
        R"(^"[A-Za-z0-9_]{1,64}" (?:)"
        R"((?:LONGINT|BYTEINT|DATEINT|TIMEINT|DECIMALINT\(6\)) NOT NULL DEFAULT 0)"
        R"(|BLOB NOT NULL DEFAULT x'')"
        R"(|(?:CHAR|MEMOTEXT)\([1-9][0-9]{0,5}\) NOT NULL DEFAULT ''(?: COLLATE QLNOCASE)?)$)"));
    return re;
}

const QRegularExpression& plainNamePattern() {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_]{1,128}$"));
    return re;
}

bool isPlainName(const QString& name) {
    return plainNamePattern().match(name).hasMatch() &&
           !name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) &&
           name.compare(QLatin1String("ql_meta"), Qt::CaseInsensitive) != 0;
}

// The comma-separated list between head and the closing parenthesis, or
// nothing when the text has another shape.
QStringList listAfter(const QString& sql, const QString& head) {
    if (!sql.startsWith(head) || !sql.endsWith(u')') || sql.size() <= head.size() + 1)
        return {};
    return sql.mid(head.size(), sql.size() - head.size() - 1).split(QLatin1String(", "));
}

QString textColumn(sqlite3_stmt* st, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)));
}

struct SchemaRow {
    QString type, name, table, sql;
    bool hasSql = false;
};

bool isStoreObject(const SchemaRow& row) {
    if (row.type == QLatin1String("table")) {
        if (!row.hasSql || row.table != row.name)
            return false;
        return (row.name == QLatin1String("ql_meta") && row.sql == QLatin1String(kMetaTableSql)) ||
               isStoreTableSql(row.name, row.sql);
    }
    if (row.type == QLatin1String("index")) {
        if (!row.hasSql)
            return row.name == QLatin1String("sqlite_autoindex_ql_meta_1") &&
                   row.table == QLatin1String("ql_meta");
        return isStoreIndexSql(row.name, row.table, row.sql);
    }
    return false;
}

} // namespace

bool isStoreTableSql(const QString& name, const QString& sql) {
    if (!isPlainName(name))
        return false;
    const QStringList columns =
        listAfter(sql, QLatin1String("CREATE TABLE \"") + name + QLatin1String("\" ("));
    for (const QString& column : columns)
        if (!columnPattern().match(column).hasMatch())
            return false;
    return !columns.isEmpty();
}

bool isStoreIndexSql(const QString& name, const QString& table, const QString& sql) {
    const QString prefix = table + QLatin1String("__");
    if (!isPlainName(table) || !isPlainName(name) || !name.startsWith(prefix) ||
        name.size() == prefix.size())
        return false;
    const QString rest = QLatin1String(" INDEX \"") + name + QLatin1String("\" ON \"") + table +
                         QLatin1String("\" (");
    QStringList columns = listAfter(sql, QLatin1String("CREATE") + rest);
    if (columns.isEmpty())
        columns = listAfter(sql, QLatin1String("CREATE UNIQUE") + rest);
    for (const QString& column : columns)
        if (column.size() < 3 || !column.startsWith(u'"') || !column.endsWith(u'"') ||
            !plainNamePattern().match(column.mid(1, column.size() - 2)).hasMatch())
            return false;
    return !columns.isEmpty();
}

int checkFileSchema(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &st,
                                nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        return rc;
    }
    std::vector<SchemaRow> rows;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        SchemaRow row{textColumn(st, 0), textColumn(st, 1), textColumn(st, 2), textColumn(st, 3),
                      sqlite3_column_type(st, 3) != SQLITE_NULL};
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return rc;
    QSet<QString> tables;
    for (const SchemaRow& row : rows) {
        if (!isStoreObject(row))
            return kForeignSchema;
        if (row.type == QLatin1String("table"))
            tables.insert(row.name);
    }
    for (const SchemaRow& row : rows)
        if (row.type == QLatin1String("index") && !tables.contains(row.table))
            return kForeignSchema;
    return SQLITE_OK;
}

} // namespace ql
