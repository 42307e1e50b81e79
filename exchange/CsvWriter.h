#pragma once
#include "framework/Pictures.h"
#include <QByteArray>
#include <QString>

namespace ql {

// Builds comma-separated lines and collects them as UTF-8 with CRLF line
// ends. A value goes in by the kind of its picture:
//  - text: trailing blanks removed, quotes doubled, enclosed in quotes;
//  - number: its digits bare (quoted like text when it is no plain number,
//    so that the line still reads back);
//  - any other picture: formatted by the picture, quotes doubled, enclosed in quotes;
//  - a field name in header mode: in quotes, with "," and "[" made "_" and "]"
//    a blank when the name holds a "[".
// Line breaks inside values are written as "\n"; values have no length limit.
class CsvWriter {
public:
    void beginLine();
    void appendField(QStringView value, const Picture& picture);
    // The same for a value held as a number (a number, date or time field).
    void appendNumber(qint64 value, const Picture& picture);
    void appendHeader(QStringView name);
    const QString& line() const { return line_; }
    // Adds the line built so far to the contents.
    void endLine();

    const QByteArray& contents() const { return contents_; }
    void clear();

private:
    void separate(qsizetype more);
    void appendQuoted(QStringView text);

    QString line_;
    bool firstField_ = true;
    QByteArray contents_;
};

} // namespace ql
