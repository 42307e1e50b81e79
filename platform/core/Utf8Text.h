#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace ql {

// UTF-8 bytes as text, every character kept. QString::fromUtf8 drops a
// leading U+FEFF (read as a byte-order mark), which would take the first
// character off a stored password, name or comma-separated record that
// begins with one.
inline QString utf8Text(QByteArrayView bytes) {
    if (!bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

inline QString utf8Text(const char* data, qsizetype size) { return utf8Text(QByteArrayView(data, size)); }

} // namespace ql
