#pragma once
#include <QAnyStringView>
#include <QHash>
#include <QString>
#include <vector>

namespace ql {

// Storage types of record fields. Date and Time hold day numbers and
// hundredths-plus-one as numbers; Decimal is a 6-byte packed number (11 digits).
enum class FieldType { Long, Byte, String, Date, Time, Memo, Blob, Decimal };

// Which owner key a table is opened and created under.
enum class OwnerKeyKind {
    None,   // plain file, not encrypted
    Owner,  // the program's OwnerKey (setOwnerKey)
    Words,  // WordsOwnerKey, fixed in the program
    Old     // OldOwnerKey of the version 2.1 tables, fixed in the program
};

struct FieldDef {
    QString name;      // full name in capitals, e.g. "P_:SERVICE"
    FieldType type;
    int width = 0;     // characters for String and Memo, 0 otherwise
};

// A named span of consecutive fields; it has no storage of its own.
struct GroupDef {
    QString name;
    int first = 0;     // field indexes, inclusive
    int last = 0;
};

struct KeyDef {
    QString name;                 // e.g. "P_:KEYSERVICE"
    QString description;          // named by the duplicate-key message, e.g. "Service"
    std::vector<int> components;  // field indexes, all ascending
    bool unique = false;
    bool primary = false;
    bool autoIncrement = false;   // numbered as one more than the highest present
    bool caseSensitive = false;   // text components compare exactly when true
};

// The layout of one table: its fields in order, its keys and where it is stored.
struct TableDef {
    QString label;               // "Passwords"
    QString prefix;              // "P_"
    QString storedAs;            // "QL_DATA\\!Pwd": table Pwd inside container QL_DATA
    std::vector<FieldDef> fields;
    std::vector<GroupDef> groups;
    std::vector<KeyDef> keys;
    OwnerKeyKind owner = OwnerKeyKind::None;
    int structureVersion = 0;
    int recordBytes = 0;         // fixed part of the record, large fields excluded

    // Case-insensitive lookups; -1 when absent. Full names only ("P_:Service").
    int fieldIndex(QAnyStringView name) const;
    int keyIndex(QAnyStringView name) const;
    int groupIndex(QAnyStringView name) const;

    // Sum of the fixed field sizes (Long/Date/Time 4, Byte 1, Decimal 6, String n).
    int computedRecordBytes() const;
    // Index of the auto-increment field, or -1.
    int autoIncrementField() const;

    // True for a text field of a key that compares exactly: such a key
    // compares stored bytes, so its texts are kept without trailing blanks
    // for the key to ignore them.
    bool inExactKey(int field) const;

    // Builds the name lookup tables; the layout builders call it once.
    void finishLayout();

    // True for a layout made by keepForProgram(): it lives until the program
    // ends, so record buffers may refer to it directly and outlive the table
    // they were read from. A copy of such a layout is not permanent.
    bool permanent() const { return permanent_.on; }

private:
    struct ForgottenByCopies {
        bool on = false;
        ForgottenByCopies() = default;
        ForgottenByCopies(const ForgottenByCopies&) {}
        ForgottenByCopies& operator=(const ForgottenByCopies&) { on = false; return *this; }
    };
    ForgottenByCopies permanent_;
    friend const TableDef& keepForProgram(TableDef def);

    QHash<QString, int> fieldLookup_;
    QHash<QString, int> keyLookup_;
    std::vector<bool> exactKeyText_;
};

// Moves a layout into storage that lives until the program ends and marks it
// permanent; returns the kept layout.
const TableDef& keepForProgram(TableDef def);

bool isTextType(FieldType type);     // String, Memo
bool isNumberType(FieldType type);   // Long, Byte, Date, Time, Decimal

} // namespace ql
