#pragma once
#include "platform/records/TableDef.h"
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

// An identifier in double quotes, any quote inside doubled.
QString quoteIdentifier(QStringView name);

// A statement the table runs often, with its own place in the connection's
// statement cache (no lookup by text).
struct CachedQuery {
    int slot = 0;
    QString sql;
};

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
    // The statements of the table operations, built once.
    const CachedQuery& insert() const { return insert_; }    // ?1..?n = fields
    const CachedQuery& update() const { return update_; }    // ?1..?n = fields, ?n+1 = rowid
    const CachedQuery& remove() const { return remove_; }    // ?1 = rowid
    const CachedQuery& byRowid() const { return byRowid_; }  // ?1 = rowid
    const CachedQuery& storedStep(bool forward) const { return stored_[forward ? 0 : 1]; } // ?1 = rowid
    const CachedQuery& fetch(int key) const { return perKey_[key].fetch; } // ?1..?k = key values
    // The next record in key order: ?1..?k = values, ?k+1 = rowid.
    const CachedQuery& seek(int key, bool forward) const {
        return perKey_[key].seek[forward ? 0 : 1];
    }
    const CachedQuery& edge(int key, bool forward) const { // first (forward) or last record
        return perKey_[key].edge[forward ? 0 : 1];
    }
    QString maxOf(int field) const;
    const CachedQuery& count() const { return count_; }
    // Which unique key a "UNIQUE constraint failed: ..." message names; -1 if none.
    int keyForUniqueMessage(const QString& message) const;
    // Declared column type, e.g. CHAR(128); the width is part of the layout.
    static QString declaredType(const FieldDef& field);

    // Pieces of reads through one key: " FROM t INDEXED BY its index",
    // " ORDER BY" its components from `from` on and the rowid, and
    // "a = ?1 AND b = ?2" over its first `count` components.
    QString fromIndex(int key) const;
    QString orderBy(int key, bool forward, int from = 0) const;
    QString equalities(int key, int count) const;

private:
    struct KeyQueries {
        CachedQuery fetch, seek[2], edge[2];
    };
    QString buildSeek(int key, bool forward) const;
    void buildQueries();

    const TableDef& def_;
    QString table_;
    QString quotedTable_;
    QString columns_;                 // rowid, "ID", "USER", ...
    std::vector<bool> noCase_;        // per field: compared ignoring case
    CachedQuery insert_, update_, remove_, byRowid_, stored_[2], count_;
    std::vector<KeyQueries> perKey_;
};

} // namespace ql
