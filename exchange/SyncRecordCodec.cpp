#include "exchange/SyncRecordCodec.h"
#include "platform/core/Utf8Text.h"
#include "exchange/SyncFormat.h"
#include <cstring>

namespace ql {

using sync_format::getU32;
using sync_format::putU32;

namespace {

constexpr qint64 kLastTime = 8'640'000; // hundredths plus one at the end of the day

int fixedBytes(FieldType type) {
    switch (type) {
    case FieldType::Byte: return 1;
    case FieldType::Decimal: return 8;
    default: return 4;
    }
}

// Reads from a span, never past its end.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes)
        : at_(reinterpret_cast<const unsigned char*>(bytes.data())), left_(bytes.size()) {}
    qsizetype left() const { return left_; }

    bool number(int size, qint64& value) {
        if (left_ < size) return false;
        if (size == 1) value = at_[0];
        else if (size == 4) value = qint32(getU32(at_));
        else value = qint64(quint64(getU32(at_)) | quint64(getU32(at_ + 4)) << 32);
        skip(size);
        return true;
    }
    bool span(QByteArrayView& out) {
        if (left_ < 4) return false;
        const uint32_t size = getU32(at_);
        skip(4);
        if (size > quint64(left_)) return false;
        out = QByteArrayView(reinterpret_cast<const char*>(at_), qsizetype(size));
        skip(size);
        return true;
    }

private:
    void skip(qsizetype n) { at_ += n; left_ -= n; }
    const unsigned char* at_;
    qsizetype left_;
};

void putNumber(QByteArray& out, int size, qint64 value) {
    if (size == 1) {
        out.append(char(value & 0xff));
        return;
    }
    putU32(out, uint32_t(quint64(value) & 0xffffffffu));
    if (size == 8) putU32(out, uint32_t(quint64(value) >> 32));
}

void putSpan(QByteArray& out, const QByteArray& bytes) {
    putU32(out, uint32_t(bytes.size()));
    out.append(bytes);
}

bool numberInRange(FieldType type, qint64 value) {
    if (type == FieldType::Date) return value >= 0;
    if (type == FieldType::Time) return value >= 0 && value <= kLastTime;
    return true;
}

bool readField(Cursor& in, Record& record, int field) {
    const FieldDef& def = record.def().fields[size_t(field)];
    if (isNumberType(def.type)) {
        qint64 value = 0;
        if (!in.number(fixedBytes(def.type), value) || !numberInRange(def.type, value)) return false;
        record.setNumber(field, value);
        return true;
    }
    QByteArrayView bytes;
    if (!in.span(bytes)) return false;
    if (def.type == FieldType::Blob) {
        record.setBlob(field, bytes.toByteArray());
        return true;
    }
    if (!bytes.isValidUtf8()) return false;
    const QString text = utf8Text(bytes);
    if (text.size() > def.width) return false;
    record.setText(field, text);
    return true;
}

} // namespace

QByteArray encodeSyncRecord(const Record& record) {
    QByteArray out;
    for (int i = 0; i < record.fieldCount(); ++i) {
        const FieldType type = record.def().fields[size_t(i)].type;
        if (isNumberType(type)) putNumber(out, fixedBytes(type), record.number(i));
        else if (type == FieldType::Blob) putSpan(out, record.blob(i));
        else putSpan(out, record.text(i).toUtf8());
    }
    return out;
}

bool decodeSyncRecord(QByteArrayView bytes, Record& record) {
    Cursor in(bytes);
    for (int i = 0; i < record.fieldCount(); ++i)
        if (!readField(in, record, i)) return false;
    return in.left() == 0;
}

} // namespace ql
