#include "exchange/CsvWriter.h"
#include "platform/records/Record.h"
#include "platform/secure/Wipe.h"
#include <QStringEncoder>

namespace ql {

namespace {

bool needsQuotes(QStringView value) {
    for (QChar c : value)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') return true;
    return false;
}

} // namespace

// The line keeps its memory from one entry to the next; wiped, not freed.
void CsvWriter::beginLine() {
    if (line_.isDetached()) sodium_memzero(line_.data(), size_t(line_.size()) * sizeof(QChar));
    line_.resize(0);
    firstField_ = true;
}

// Every field goes in through here: the line grows without leaving copies.
void CsvWriter::separate(qsizetype more) {
    reserveWiped(line_, line_.size() + more + 1);
    if (!firstField_) line_ += u',';
    firstField_ = false;
}

// Quotes are doubled before anything else; carriage returns become line feeds
// ("\r\n" one "\n") so that no stored value ever holds one.
void CsvWriter::appendQuoted(QStringView text) {
    reserveWiped(line_, line_.size() + text.size() * 2 + 2); // every character may be doubled
    line_ += u'"';
    qsizetype plain = 0; // start of the run of characters copied as they are
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'"' && c != u'\r') continue;
        line_ += text.sliced(plain, i - plain);
        plain = i + 1;
        if (c == u'"') line_ += QLatin1String("\"\"");
        else if (i + 1 >= text.size() || text[i + 1] != u'\n') line_ += u'\n';
    }
    line_ += text.sliced(plain);
    line_ += u'"';
}

void CsvWriter::appendField(QStringView value, const Picture& picture) {
    separate(value.size());
    switch (picture.kind()) {
    case PictureKind::Text:
        appendQuoted(value); // blanks kept: they may be part of a password
        return;
    case PictureKind::Number: {
        const QStringView digits = value.trimmed();
        if (needsQuotes(digits)) appendQuoted(digits);
        else line_ += digits;
        return;
    }
    default:
        appendQuoted(picture.formatText(value));
    }
}

void CsvWriter::appendNumber(qint64 value, const Picture& picture) {
    separate(24);
    switch (picture.kind()) {
    case PictureKind::Text: appendQuoted(QString::number(value)); return;
    case PictureKind::Number: line_ += QString::number(value); return;
    default: appendQuoted(picture.format(value));
    }
}

void CsvWriter::appendHeader(QStringView name) {
    separate(name.size());
    if (!name.contains(u'[')) {
        appendQuoted(name);
        return;
    }
    QString changed = name.toString();
    changed.replace(u',', u'_').replace(u'[', u'_').replace(u']', u' ');
    appendQuoted(changed);
}

void CsvWriter::endLine() {
    QStringEncoder utf8(QStringEncoder::Utf8);
    const qsizetype start = contents_.size();
    reserveWiped(contents_, start + utf8.requiredSpace(line_.size()) + 2);
    contents_.resize(start + utf8.requiredSpace(line_.size()) + 2);
    char* end = utf8.appendToBuffer(contents_.data() + start, line_);
    *end++ = '\r';
    *end++ = '\n';
    contents_.truncate(end - contents_.constData());
}

// The lines hold passwords in clear: overwritten before the memory goes back.
void CsvWriter::clear() {
    wipeBytes(contents_);
    wipeText(line_);
    firstField_ = true;
}

} // namespace ql
