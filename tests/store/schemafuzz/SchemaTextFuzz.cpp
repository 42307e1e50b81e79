// libFuzzer target of the check that decides which schema texts of a table
// file are the store's own. The input is "T" or "I", then NUL-separated the
// object's name, (for an index) its table, and its SQL text. Whatever text
// the check accepts must, run on an empty database, make exactly the one
// object it claims to be and nothing else: no second statement, no trigger,
// no view, no other table or index.
#include "platform/recordstore/SchemaCheck.h"
#include "platform/recordstore/TextCollation.h"
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>

using namespace ql;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

// Runs exactly one statement; a text with anything after it fails the check.
bool runOne(sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, &tail) != SQLITE_OK) return false;
    check(tail == sql.constData() + sql.size());
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

QStringList schema(sqlite3* db) {
    QStringList rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT type || ' ' || name FROM sqlite_master", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return rows;
}

// A table holding every column the index text names, for the index to go on.
QByteArray tableFor(const QString& table, const QString& indexSql) {
    const qsizetype open = indexSql.lastIndexOf(QLatin1String(" ("));
    QStringList columns = indexSql.mid(open + 2).chopped(1).split(QLatin1String(", "));
    columns.removeDuplicates();
    return ("CREATE TABLE \"" + table + "\" (" + columns.join(QLatin1String(", ")) + ")").toUtf8();
}

void checkTable(sqlite3* db, const QString& name, const QString& sql) {
    if (!isStoreTableSql(name, sql)) return;
    if (!runOne(db, sql.toUtf8())) return;
    check(schema(db) == QStringList{"table " + name});
}

void checkIndex(sqlite3* db, const QString& name, const QString& table, const QString& sql) {
    if (!isStoreIndexSql(name, table, sql)) return;
    if (!runOne(db, tableFor(table, sql))) return;
    const QStringList before = schema(db);
    if (!runOne(db, sql.toUtf8())) return;
    check(schema(db) == before + QStringList{"index " + name});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    if (parts.size() < 3 || parts[0].isEmpty()) return 0;
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) return 0;
    registerTextCollation(db);
    const QString name = QString::fromUtf8(parts[1]);
    if (parts[0][0] == 'T')
        checkTable(db, name, QString::fromUtf8(parts[2]));
    else if (parts.size() >= 4)
        checkIndex(db, name, QString::fromUtf8(parts[2]), QString::fromUtf8(parts[3]));
    sqlite3_close(db);
    return 0;
}
