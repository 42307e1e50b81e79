#include "exchange/CsvReader.h"
#include "platform/core/Utf8Text.h"
#include "platform/secure/Wipe.h"
#include <QBuffer>
#include <QFile>
#include <cstring>

namespace ql {

namespace {
constexpr qsizetype kChunk = 1 << 18;
constexpr qsizetype kKeep = 1 << 20; // consumed bytes kept before the buffer is compacted
} // namespace

CsvReader::Opened CsvReader::open(const QString& path) {
    return start(std::make_unique<QFile>(path));
}

CsvReader::Opened CsvReader::openBytes(const QByteArray& bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    return start(std::move(buffer));
}

CsvReader::Opened CsvReader::start(std::unique_ptr<QIODevice> device) {
    close();
    unterminatedLine_ = 0;
    if (!device->open(QIODevice::ReadOnly)) {
        auto* file = qobject_cast<QFile*>(device.get());
        errorNumber_ = file ? int(file->error()) : 0;
        errorText_ = device->errorString();
        return Opened::Failed;
    }
    device_ = std::move(device);
    size_ = device_->size();
    if (size_ == 0) {
        close();
        return Opened::Empty;
    }
    if (!scanWhole()) {
        close();
        return Opened::EndsInsideQuotes;
    }
    rewind();
    return Opened::Ok;
}

// One pass over the whole file: finds the encoding and whether the last
// record ends inside a quoted field. Records are cut as UTF-8 text; a file
// that turns out not to be UTF-8 is cut once more, a byte a character.
bool CsvReader::scanWhole() {
    utf8Check_ = Utf8Check();
    checking_ = true;
    scanner_.setUtf8(true);
    scanAllRecords();
    checking_ = false;
    utf8_ = utf8Check_.valid();
    if (!utf8_) {
        scanner_.setUtf8(false);
        scanAllRecords();
    }
    return unterminatedLine_ == 0;
}

void CsvReader::scanAllRecords() {
    rewind();
    Span span;
    qint64 bytes = 0;
    while (nextSpan(span, bytes)) {}
}

// What was read may hold passwords in clear: overwritten before it is freed.
void CsvReader::close() {
    device_.reset();
    wipeBytes(buffer_);
    wipeBytes(normalized_);
    wipeText(record_);
    pos_ = 0;
    atEnd_ = false;
    size_ = 0;
    errorNumber_ = 0;
    errorText_.clear();
}

void CsvReader::rewind() {
    if (!device_) return;
    device_->seek(0);
    wipeBytes(buffer_);
    pos_ = 0;
    atEnd_ = false;
    nextLine_ = 1;
    recordLine_ = 0;
    unterminatedLine_ = 0;
    fill();
    // The byte-order mark, as often as a tool wrote it again before the text.
    bomBytes_ = 0;
    while (QByteArrayView(buffer_).sliced(bomBytes_).startsWith("\xEF\xBB\xBF")) bomBytes_ += 3;
    pos_ = bomBytes_;
}

bool CsvReader::fill() {
    if (atEnd_ || !device_) return false;
    const qsizetype had = buffer_.size();
    reserveWiped(buffer_, had + kChunk);
    buffer_.resize(had + kChunk);
    const qint64 got = device_->read(buffer_.data() + had, kChunk);
    buffer_.resize(had + std::max<qint64>(got, 0));
    if (got <= 0) {
        atEnd_ = true;
        return false;
    }
    if (checking_) utf8Check_.feed(buffer_.constData() + had, got);
    return true;
}

// Finds the bytes of the next record and moves past its line break.
bool CsvReader::nextSpan(Span& span, qint64& bytes) {
    if (pos_ > kKeep) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const qsizetype start = pos_;
    if (pos_ == buffer_.size() && !fill()) return false;
    scanner_.reset();
    qsizetype from = pos_;
    qsizetype end;
    while ((end = scanner_.findEnd(buffer_.constData(), from, buffer_.size())) < 0) {
        from = buffer_.size();
        if (!fill()) break;
    }
    span = {pos_, end < 0 ? buffer_.size() : end};
    recordLine_ = nextLine_;
    nextLine_ += scanner_.innerLineBreaks() + 1;
    if (end < 0 && scanner_.insideQuotes()) unterminatedLine_ = recordLine_;
    pos_ = end < 0 ? buffer_.size() : end + 1;
    if (end >= 0 && buffer_[end] == '\r') { // "\r\n" is one line end
        if (pos_ == buffer_.size()) fill();
        if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
    }
    bytes = pos_ - start + bomBytes_; // the byte-order mark counts with the first record
    bomBytes_ = 0;
    return true;
}

qint64 CsvReader::readRecord() {
    Span span;
    qint64 bytes = 0;
    if (!device_ || !nextSpan(span, bytes)) {
        wipeText(record_);
        return 0;
    }
    decode(span);
    return bytes;
}

// Line breaks inside quoted fields become "\n"; then the bytes become text.
void CsvReader::decode(const Span& span) {
    const char* data = buffer_.constData() + span.begin;
    qsizetype size = span.end - span.begin;
    if (std::memchr(data, '\r', size_t(size))) {
        reserveWiped(normalized_, size);
        normalized_.resize(size);
        qsizetype n = 0;
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] != '\r') normalized_[n++] = data[i];
            else if (i + 1 >= size || data[i + 1] != '\n') normalized_[n++] = '\n';
        }
        data = normalized_.constData();
        size = n;
    }
    replaceWiped(record_, utf8_ ? utf8Text(data, size) : decodeWindows1252(data, size));
}

} // namespace ql
