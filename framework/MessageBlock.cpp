#include "framework/MessageBlock.h"
#include "platform/core/Utf8Text.h"

namespace ql {
namespace {

constexpr int kMaxText = 255; // lengths are one byte

// UTF-8 bytes of the text, cut at a character boundary so they fit one byte of length.
QByteArray textBytes(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= kMaxText) return bytes;
    int cut = kMaxText;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80) --cut; // continuation byte
    return bytes.left(cut);
}

void putU16(QByteArray& out, unsigned value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void putText(QByteArray& out, const QString& text) {
    const QByteArray bytes = textBytes(text);
    out.append(char(bytes.size()));
    out.append(bytes);
}

// Sequential reader that refuses to run past the end of the block.
class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data) {}
    bool u8(unsigned& value) {
        if (pos_ + 1 > data_.size()) return false;
        value = uchar(data_[pos_++]);
        return true;
    }
    bool u16(unsigned& value) {
        unsigned low = 0, high = 0;
        if (pos_ + 2 > data_.size()) return false;
        u8(low);
        u8(high);
        value = low | (high << 8);
        return true;
    }
    bool text(QString& value) {
        unsigned length = 0;
        if (!u8(length) || pos_ + qsizetype(length) > data_.size()) return false;
        value = utf8Text(data_.constData() + pos_, qsizetype(length));
        pos_ += length;
        return true;
    }

private:
    const QByteArray& data_;
    qsizetype pos_ = 0;
};

} // namespace

QByteArray packMessageBlock(const std::vector<MessageEntry>& rows) {
    QByteArray out;
    const size_t count = std::min<size_t>(rows.size(), 0xFFFF);
    putU16(out, unsigned(count));
    for (size_t i = 0; i < count; ++i) {
        putU16(out, rows[i].id);
        out.append(char(rows[i].fatality));
        putText(out, rows[i].title);
        putText(out, rows[i].message);
    }
    return out;
}

std::vector<MessageEntry> parseMessageBlock(const QByteArray& block) {
    std::vector<MessageEntry> rows;
    Reader in(block);
    unsigned count = 0;
    if (!in.u16(count)) return rows;
    for (unsigned i = 0; i < count; ++i) {
        MessageEntry row;
        unsigned id = 0, level = 0;
        if (!in.u16(id) || !in.u8(level) || !in.text(row.title) || !in.text(row.message))
            break;
        row.id = uint16_t(id);
        row.fatality = uint8_t(level);
        rows.push_back(row);
    }
    return rows;
}

} // namespace ql
