#pragma once
#include <QString>
#include <QStringView>

namespace ql {

// What cutting the next field out of a line found.
enum class CsvFieldKind { None = 0, Quoted = 1, Unquoted = 2 };

// Cuts the fields of one comma-separated line, left to right:
//  - nothing but blanks from the position on: no more fields;
//  - a field starting with a double quote ends at the first later quote not
//    followed by another; its text lies between the two, each doubled quote
//    made single; the character after the closing quote is taken as the
//    separator and skipped, whatever it is. Without a closing quote the field
//    takes the rest of the line;
//  - any other field runs up to the next comma, blanks kept.
// A quoted field may hold line breaks: the line is a whole record of the file.
// The field's text points into the line (or into a buffer of this object
// when quotes had to be made single) until the next call.
class CsvLine {
public:
    // Starts on `text`, which must stay alive while fields are cut from it.
    void start(QStringView text);
    CsvFieldKind next();
    QStringView field() const { return field_; }
    // Where the next field starts, counted from 1; 0 when the line has no more.
    qsizetype position() const { return pos_ < 0 ? 0 : pos_ + 1; }

private:
    CsvFieldKind cutQuoted();
    QStringView unescaped(QStringView inner, bool doubled);

    QStringView text_;
    qsizetype pos_ = -1;
    QStringView field_;
    QString scratch_;
};

} // namespace ql
