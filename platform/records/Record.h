#pragma once
#include "platform/records/TableDef.h"
#include <QByteArray>
#include <QString>
#include <vector>

namespace ql {

// The record buffer of one table. Fields are addressed by index (fast) or by
// full name in any case ("P_:Service"). Text is kept exactly as given,
// leading and trailing blanks included: a value put into STRING(n) or MEMO(n)
// is only cut to n characters (fitsText() tells beforehand whether it will be).
// Comparisons (sameText, keys) ignore trailing blanks.
// Number fields keep their type's range: Long is 32-bit signed, Byte 0..255
// (taken modulo 256), Decimal at most 11 digits (clamped).
// An unknown name or index reads as blank/zero and ignores writes.
class Record {
public:
    explicit Record(const TableDef& def);

    const TableDef& def() const { return *def_; }
    int fieldCount() const { return static_cast<int>(def_->fields.size()); }
    int fieldIndex(QAnyStringView name) const { return def_->fieldIndex(name); }

    // Text of any field: numbers as decimal text, blobs as Latin-1 bytes.
    QString text(int field) const;
    QString text(QAnyStringView name) const { return text(fieldIndex(name)); }
    // Text padded with blanks to the field's width (STRING fields only).
    QString paddedText(int field) const;
    // Sets a text field; on a number field the text is read as a number (0 when
    // not a number), on a blob field its UTF-8 bytes are stored.
    void setText(int field, QStringView value);
    void setText(int field, const QString& value); // shares value when it needs no cut
    void setText(QAnyStringView name, QStringView value) { setText(fieldIndex(name), value); }

    qint64 number(int field) const;
    qint64 number(QAnyStringView name) const { return number(fieldIndex(name)); }
    // Sets a number field; on a text field stores the number as decimal text.
    void setNumber(int field, qint64 value);
    void setNumber(QAnyStringView name, qint64 value) { setNumber(fieldIndex(name), value); }

    QByteArray blob(int field) const;
    QByteArray blob(QAnyStringView name) const { return blob(fieldIndex(name)); }
    void setBlob(int field, const QByteArray& value);
    void setBlob(QAnyStringView name, const QByteArray& value) { setBlob(fieldIndex(name), value); }

    // True when the field's text equals value, trailing blanks ignored on both
    // sides; case is ignored unless caseSensitive.
    bool sameText(int field, QStringView value, bool caseSensitive = false) const;
    // True when value fits the field whole (always for other than text fields).
    bool fitsText(int field, QStringView value) const;

    // Blank texts, zero numbers, empty blobs.
    void clear();
    // As clear(), overwriting first the texts and blobs no copy shares.
    void wipe();
    void clearField(int field);

    // Copies one field between buffers of possibly different tables, converting
    // between text and number and cutting to the destination's width.
    static void copyField(Record& dst, int dstField, const Record& src, int srcField);
    // Copies every field whose name after the prefix matches ("P_:SERVICE" to
    // "SF_:SERVICE"); returns the number of fields copied.
    static int copyMatchingFields(Record& dst, const Record& src);

    // Same values in buffers of the same layout (same prefix and field count).
    bool operator==(const Record& other) const;

private:
    bool valid(int field) const { return field >= 0 && field < fieldCount(); }
    static qint64 fitNumber(FieldType type, qint64 value);

    const TableDef* def_;
    std::vector<QString> texts_;
    std::vector<qint64> numbers_;
    std::vector<QByteArray> blobs_;
};

// Right-trims blanks (spaces only) without copying when there are none.
QStringView trimmedRight(QStringView text);

} // namespace ql
