#pragma once
#include <QByteArray>
#include <QString>
#include <sodium.h>

namespace ql {

// Overwrites the text or bytes in place when nothing else shares them, then
// empties them. Shared data belongs to another holder and is left to it.
inline void wipeText(QString& text) {
    if (text.isDetached() && !text.isEmpty())
        sodium_memzero(text.data(), size_t(text.size()) * sizeof(QChar));
    text.clear();
}

inline void wipeBytes(QByteArray& bytes) {
    if (bytes.isDetached() && !bytes.isEmpty())
        sodium_memzero(bytes.data(), size_t(bytes.size()));
    bytes.clear();
}

} // namespace ql
