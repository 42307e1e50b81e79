#include "platform/records/Record.h"
#include "platform/core/Utf8Text.h"
#include "platform/secure/Wipe.h"
#include <algorithm>

namespace ql {

namespace {
constexpr qint64 kDecimalMax = 99'999'999'999LL; // 11 digits in 6 packed bytes
}

QStringView trimmedRight(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.first(n);
}

Record::Record(const TableDef& def)
    : def_(&def), texts_(def.fields.size()), numbers_(def.fields.size(), 0),
      blobs_(def.fields.size()) {}

QString Record::text(int field) const {
    if (!valid(field))
        return {};
    const FieldType type = def_->fields[field].type;
    if (isTextType(type))
        return texts_[field];
    if (type == FieldType::Blob)
        return QString::fromLatin1(blobs_[field]);
    return QString::number(numbers_[field]);
}

QString Record::paddedText(int field) const {
    QString value = text(field);
    if (valid(field) && def_->fields[field].type == FieldType::String)
        value = value.leftJustified(def_->fields[field].width, u' ');
    return value;
}

void Record::setText(int field, QStringView value) {
    if (!valid(field))
        return;
    const FieldDef& f = def_->fields[field];
    if (isTextType(f.type)) {
        // Kept exactly, blanks included: a password may end in blanks.
        QStringView kept = value.size() > f.width ? value.first(f.width) : value;
        texts_[field] = (def_->inExactKey(field) ? trimmedRight(kept) : kept).toString();
    } else if (f.type == FieldType::Blob) {
        blobs_[field] = value.toUtf8();
    } else {
        numbers_[field] = fitNumber(f.type, value.trimmed().toLongLong());
    }
}

void Record::setText(int field, const QString& value) {
    if (valid(field) && isTextType(def_->fields[field].type) &&
        value.size() <= def_->fields[field].width && !def_->inExactKey(field))
        texts_[field] = value;
    else
        setText(field, QStringView(value));
}

qint64 Record::number(int field) const {
    if (!valid(field))
        return 0;
    const FieldType type = def_->fields[field].type;
    if (isNumberType(type))
        return numbers_[field];
    if (isTextType(type))
        return texts_[field].trimmed().toLongLong();
    return 0;
}

void Record::setNumber(int field, qint64 value) {
    if (!valid(field))
        return;
    const FieldType type = def_->fields[field].type;
    if (isNumberType(type))
        numbers_[field] = fitNumber(type, value);
    else if (isTextType(type))
        setText(field, QString::number(value));
}

QByteArray Record::blob(int field) const {
    if (!valid(field))
        return {};
    const FieldType type = def_->fields[field].type;
    if (type == FieldType::Blob)
        return blobs_[field];
    return text(field).toUtf8();
}

void Record::setBlob(int field, const QByteArray& value) {
    if (!valid(field))
        return;
    if (def_->fields[field].type == FieldType::Blob)
        blobs_[field] = value;
    else
        setText(field, utf8Text(value));
}

bool Record::sameText(int field, QStringView value, bool caseSensitive) const {
    return trimmedRight(text(field)).compare(trimmedRight(value),
                                             caseSensitive ? Qt::CaseSensitive
                                                           : Qt::CaseInsensitive) == 0;
}

bool Record::fitsText(int field, QStringView value) const {
    return !valid(field) || !isTextType(def_->fields[field].type) ||
           value.size() <= def_->fields[field].width;
}

void Record::clear() {
    for (int i = 0; i < fieldCount(); ++i)
        clearField(i);
}

void Record::wipe() {
    for (QString& text : texts_) wipeText(text);
    for (QByteArray& bytes : blobs_) wipeBytes(bytes);
    std::fill(numbers_.begin(), numbers_.end(), 0);
}

void Record::clearField(int field) {
    if (!valid(field))
        return;
    texts_[field].clear();
    numbers_[field] = 0;
    blobs_[field].clear();
}

void Record::copyField(Record& dst, int dstField, const Record& src, int srcField) {
    if (!dst.valid(dstField) || !src.valid(srcField))
        return;
    const FieldType from = src.def_->fields[srcField].type;
    const FieldType to = dst.def_->fields[dstField].type;
    if (isTextType(to) && isTextType(from))
        dst.setText(dstField, src.texts_[srcField]);
    else if (isNumberType(to) && isNumberType(from))
        dst.setNumber(dstField, src.numbers_[srcField]);
    else if (to == FieldType::Blob)
        dst.setBlob(dstField, src.blob(srcField));
    else
        dst.setText(dstField, src.text(srcField));
}

int Record::copyMatchingFields(Record& dst, const Record& src) {
    int copied = 0;
    const qsizetype srcSkip = src.def_->prefix.size() + 1;
    for (int i = 0; i < src.fieldCount(); ++i) {
        const QString& name = src.def_->fields[i].name;
        const int target = dst.fieldIndex(QString(dst.def_->prefix + u':').append(QStringView(name).mid(srcSkip)));
        if (target >= 0) {
            copyField(dst, target, src, i);
            ++copied;
        }
    }
    return copied;
}

bool Record::operator==(const Record& other) const {
    const bool sameLayout =
        def_ == other.def_ || (def_->prefix == other.def_->prefix &&
                               def_->fields.size() == other.def_->fields.size());
    return sameLayout && texts_ == other.texts_ && numbers_ == other.numbers_ &&
           blobs_ == other.blobs_;
}

qint64 Record::fitNumber(FieldType type, qint64 value) {
    switch (type) {
    case FieldType::Byte: return static_cast<quint8>(value);
    case FieldType::Decimal: return std::clamp(value, -kDecimalMax, kDecimalMax);
    default: return static_cast<qint32>(value);
    }
}

} // namespace ql
