#include "exchange/CsvRecordScanner.h"

namespace ql {

void CsvRecordScanner::reset() {
    state_ = State::FieldStart;
    breaks_ = 0;
    lastWasCR_ = false;
}

qsizetype CsvRecordScanner::findEnd(const char* data, qsizetype from, qsizetype size) {
    for (qsizetype i = from; i < size; ++i) {
        const char c = data[i];
        switch (state_) {
        case State::Quoted:
            if (c == '"') state_ = State::QuoteSeen;
            else if (c == '\r' || (c == '\n' && !lastWasCR_)) ++breaks_;
            lastWasCR_ = c == '\r';
            continue;
        case State::QuoteSeen:
            if (c == '"') { state_ = State::Quoted; continue; }
            if (c == '\n' || c == '\r') return i;
            state_ = State::FieldStart; // the separator, whatever it is
            continue;
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
