#include "exchange/CsvLine.h"

namespace ql {

void CsvLine::start(QStringView text) {
    text_ = text;
    pos_ = 0;
    field_ = {};
}

CsvFieldKind CsvLine::next() {
    qsizetype i = pos_;
    while (i >= 0 && i < text_.size() && text_[i] == u' ') ++i;
    if (pos_ < 0 || i >= text_.size()) {
        pos_ = -1;
        field_ = {};
        return CsvFieldKind::None;
    }
    if (text_[pos_] == u'"') return cutQuoted();
    const qsizetype comma = text_.indexOf(u',', pos_);
    if (comma < 0) {
        field_ = text_.mid(pos_);
        pos_ = -1;
    } else {
        field_ = text_.mid(pos_, comma - pos_);
        pos_ = comma + 1;
    }
    return CsvFieldKind::Unquoted;
}

CsvFieldKind CsvLine::cutQuoted() {
    const qsizetype open = pos_;
    bool doubled = false;
    for (qsizetype from = open + 1;;) {
        const qsizetype quote = text_.indexOf(u'"', from);
        if (quote < 0) {
            field_ = unescaped(text_.mid(open + 1), doubled);
            pos_ = -1;
            return CsvFieldKind::Quoted;
        }
        if (quote + 1 < text_.size() && text_[quote + 1] == u'"') {
            doubled = true;
            from = quote + 2;
            continue;
        }
        field_ = unescaped(text_.mid(open + 1, quote - open - 1), doubled);
        // Past the separator, whatever it is: a character outside the basic
        // plane is one separator, never half of one left to start a field.
        pos_ = quote + 2;
        if (pos_ < text_.size() && text_[pos_ - 1].isHighSurrogate() && text_[pos_].isLowSurrogate())
            ++pos_;
        if (pos_ > text_.size()) pos_ = text_.size();
        return CsvFieldKind::Quoted;
    }
}

QStringView CsvLine::unescaped(QStringView inner, bool doubled) {
    if (!doubled) return inner;
    scratch_.clear();
    scratch_.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        scratch_ += inner[i];
        if (inner[i] == u'"' && i + 1 < inner.size() && inner[i + 1] == u'"') ++i;
    }
    return scratch_;
}

} // namespace ql
