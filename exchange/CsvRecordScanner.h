#pragma once
#include <QtGlobal>
#include <cstdint>

namespace ql {

// Finds where a record of a comma-separated file ends, byte by byte, by the
// same rules the field cutter follows: a line break ends the record unless it
// lies inside a quoted field. Works on UTF-8 and single-byte text alike, and
// on a record fed in several pieces. The cutter skips one character after a
// closing quote as the separator; in UTF-8 text that character may take up to
// four bytes, all of which the scanner skips too.
class CsvRecordScanner {
public:
    enum class State : uint8_t { FieldStart, Unquoted, Quoted, QuoteSeen, SeparatorTail };

    // Whether the text is UTF-8 (else one byte is one character); kept across records.
    void setUtf8(bool utf8) { utf8_ = utf8; }
    // Starts a new record.
    void reset();
    // Scans data[from, size): the index of the line break ('\n' or '\r') that
    // ends the record, or -1 when the record goes on past `size`.
    qsizetype findEnd(const char* data, qsizetype from, qsizetype size);
    // Line breaks inside quoted fields of the record so far ("\r\n" is one).
    int innerLineBreaks() const { return breaks_; }
    bool insideQuotes() const { return state_ == State::Quoted; }

private:
    void afterClosingQuote(unsigned char c);

    State state_ = State::FieldStart;
    int breaks_ = 0;
    int tail_ = 0; // continuation bytes of the separator still to skip
    bool lastWasCR_ = false;
    bool utf8_ = true;
};

} // namespace ql
