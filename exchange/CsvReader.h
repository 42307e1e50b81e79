#pragma once
#include "exchange/CsvRecordScanner.h"
#include "exchange/TextEncoding.h"
#include <QByteArray>
#include <QIODevice>
#include <memory>
#include <QString>

namespace ql {

// Reads a comma-separated file record by record. A record is one line, or
// several when a quoted field holds line breaks. Lines end in CRLF, LF or CR.
// The text is UTF-8 (a leading byte-order mark is skipped), or Windows-1252
// when the file is not valid UTF-8. Inside records every line break becomes
// "\n", so no carriage return reaches a value. Records have no length limit.
class CsvReader {
public:
    enum class Opened { Ok, Empty, Failed, EndsInsideQuotes };

    // Opens the file for reading and checks it whole (its encoding, and that
    // it does not end inside a quoted field), then stands before the first record.
    Opened open(const QString& path);
    // The same over bytes in memory.
    Opened openBytes(const QByteArray& bytes);
    void close();
    bool isOpen() const { return device_ != nullptr; }

    qint64 size() const { return size_; }
    bool isUtf8() const { return utf8_; }
    // After Opened::EndsInsideQuotes: the line where the open quoted field starts.
    int unterminatedLine() const { return unterminatedLine_; }
    // After Opened::Failed: the system's error number and text.
    int errorNumber() const { return errorNumber_; }
    QString errorText() const { return errorText_; }

    void rewind();
    // Reads the next record; returns the bytes it took in the file (line
    // breaks included), or 0 at the end of the file or on a read error.
    qint64 readRecord();
    const QString& record() const { return record_; }
    // The file's line on which the current record starts, counted from 1.
    int recordLine() const { return recordLine_; }

private:
    struct Span {
        qsizetype begin = 0, end = 0;
    };
    bool nextSpan(Span& span, qint64& bytes);
    bool fill();
    void decode(const Span& span);
    Opened start(std::unique_ptr<QIODevice> device);
    bool scanWhole();
    void scanAllRecords();

    std::unique_ptr<QIODevice> device_;
    QByteArray buffer_;
    qsizetype pos_ = 0;          // first unread byte in buffer_
    bool atEnd_ = false;         // the file has no more bytes for buffer_
    bool checking_ = false;      // the first pass of open()
    qsizetype bomBytes_ = 0;
    CsvRecordScanner scanner_;
    Utf8Check utf8Check_;
    qint64 size_ = 0;
    bool utf8_ = true;
    int nextLine_ = 1;
    int recordLine_ = 0;
    int unterminatedLine_ = 0;
    int errorNumber_ = 0;
    QString errorText_;
    QString record_;
    QByteArray normalized_;
};

} // namespace ql
