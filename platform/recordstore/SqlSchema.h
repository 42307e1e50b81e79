#pragma once
#include "store/TableDef.h"
#include <QString>
#include <vector>

namespace ql {

// Where a table lives: "QL_DATA\\!Pwd" is table Pwd in QL_DATA.qld; any other
// name is a file of its own holding one table called Data.
struct TableLocation {
    QString filePath;   // absolute, resolved against the current folder
    QString table;      // table name inside the file
    bool inContainer = false;
};
TableLocation locateTable(const QString& storedAs);
inline constexpr char kStoreExtension[] = ".qld";

// The SQL text of one declared table: its schema, and the statements the
// table operations run. Every query selects rowid first, then the fields in
// declared order.
class SqlSchema {
public:
    SqlSchema(const TableDef& def, const QString& table);

    struct Index {
        QString name;
        QString sql;
    };

    const QString& table() const { return table_; }
    QString createTable() const;               // as sqlite_master keeps it
    QString createTable(const QString& name) const;
    std::vector<Index> indexes() const;
    QString columnName(int field) const;       // quoted
    QString insert() const;                    // ?1..?n = fields
    QString update() const;                    // ?1..?n = fields, ?n+1 = rowid
    QString remove() const;                    // ?1 = rowid
    QString byRowid() const;                   // ?1 = rowid
    QString storedStep(bool forward) const;    // ?1 = rowid
    QString fetch(int key) const;              // ?1..?k = key values
    QString seek(int key, bool forward) const; // ?1..?k = values, ?k+1 = rowid
    QString edge(int key, bool forward) const; // first (forward) or last record
    QString maxOf(int field) const;
    QString count() const;
    // Which unique key a "UNIQUE constraint failed: ..." message names; -1 if none.
    int keyForUniqueMessage(const QString& message) const;
    // Declared column type, e.g. CHAR(128); the width is part of the layout.
    static QString declaredType(const FieldDef& field);

private:
    QString orderBy(int key, bool forward) const;
    QString equalities(int key, int count) const;

    const TableDef& def_;
    QString table_;
    QString quotedTable_;
    QString columns_;                 // rowid, "ID", "USER", ...
    std::vector<bool> noCase_;        // per field: compared ignoring case
};

} // namespace ql
