#include "exchange/CsvRecordScanner.h"

namespace ql {

namespace {

// Continuation bytes that follow a UTF-8 lead byte.
int continuationBytes(unsigned char lead) {
    if (lead >= 0xF0) return 3;
    if (lead >= 0xE0) return 2;
    if (lead >= 0xC0) return 1;
    return 0;
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

void CsvRecordScanner::reset() {
    state_ = State::FieldStart;
    breaks_ = 0;
    tail_ = 0;
    lastWasCR_ = false;
}

// The byte after a closing quote is the separator, whatever it is; a UTF-8
// lead byte brings its continuation bytes with it.
void CsvRecordScanner::afterClosingQuote(unsigned char c) {
    tail_ = utf8_ ? continuationBytes(c) : 0;
    state_ = tail_ > 0 ? State::SeparatorTail : State::FieldStart;
}

qsizetype CsvRecordScanner::findEnd(const char* data, qsizetype from, qsizetype size) {
    for (qsizetype i = from; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        switch (state_) {
        case State::Quoted:
            if (c == '"') state_ = State::QuoteSeen;
            else if (c == '\r' || (c == '\n' && !lastWasCR_)) ++breaks_;
            lastWasCR_ = c == '\r';
            continue;
        case State::QuoteSeen:
            if (c == '"') { state_ = State::Quoted; continue; }
            if (c == '\n' || c == '\r') return i;
            afterClosingQuote(c);
            continue;
        case State::SeparatorTail:
            if (isContinuation(c)) {
                if (--tail_ == 0) state_ = State::FieldStart;
                continue;
            }
            state_ = State::FieldStart; // a broken sequence: this byte starts the field
            [[fallthrough]];
        case State::FieldStart:
            if (c == '"') { state_ = State::Quoted; lastWasCR_ = false; continue; }
            [[fallthrough]];
        case State::Unquoted:
            if (c == '\n' || c == '\r') return i;
            state_ = c == ',' ? State::FieldStart : State::Unquoted;
            continue;
        }
    }
    return -1;
}

} // namespace ql
