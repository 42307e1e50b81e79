#pragma once
#include "platform/recordstore/DataTable.h"
#include <QByteArray>
#include <QString>
#include <limits>
#include <vector>

struct sqlite3_stmt;

namespace ql {

// Where next()/previous() continue from: a key's values plus a record number
// as tiebreak (before/after a value use the lowest/highest number), or a
// record number alone for stored order (key -1).
struct DataTable::Cursor {
    enum class Mode { Start, End, At };
    Mode mode = Mode::Start;
    int key = -1;
    std::vector<QByteArray> texts; // per key component, UTF-8
    std::vector<qint64> numbers;   // per key component
    qint64 rowid = 0;

    void set(size_t component, const Record& record, int field) {
        if (isNumberType(record.def().fields[field].type))
            numbers[component] = record.number(field);
        else
            texts[component] = record.text(field).toUtf8();
    }
};

inline constexpr qint64 kLowestRow = std::numeric_limits<qint64>::min();
inline constexpr qint64 kHighestRow = std::numeric_limits<qint64>::max();

// Binds a record field to a statement parameter (1-based).
void bindField(sqlite3_stmt* stmt, int param, const Record& record, int field);
// Binds every field as ?1..?n.
void bindRecord(sqlite3_stmt* stmt, const Record& record);
// Loads a row (rowid, then fields in order) into the buffer; returns the rowid.
qint64 loadRow(sqlite3_stmt* stmt, Record& record);

// Store error code for an SQLite result code met on an open table.
int storeErrorFor(int sqliteCode);

// Brings a table stored under an older registered structure to the declared
// layout, keeping its records and record numbers. Returns an SQLite code;
// SQLITE_SCHEMA when the table may not be converted (not registered, or not
// older).
int upgradeStructure(StoreConnection& conn, const SqlSchema& schema, const TableDef& def);
// Writes the table anew under the declared layout (fields taken over by name)
// with only the declared keys; runs inside the caller's transaction.
int rewriteTable(StoreConnection& conn, const SqlSchema& schema, const TableDef& def);
// Number of keys with stored text on a table (-1 on a read error).
int storedIndexCount(StoreConnection& conn, const QString& table);
// Records the structure version of a table in its file (inside a transaction).
int writeStructureVersion(StoreConnection& conn, const QString& table, int version);

} // namespace ql
