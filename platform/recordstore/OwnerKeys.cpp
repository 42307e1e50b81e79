#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/DataTable.h"
#include <QCryptographicHash>
#include <QMutex>

namespace ql {

namespace {
QMutex keyMutex;
QByteArray ownerRawKey; // guarded by keyMutex

// A fixed, program-specific context keeps these keys apart from any other use
// of the same text.
QByteArray derive(const QByteArray& secret) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView("quillock table key v1"));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(secret);
    return "x'" + hash.result().toHex() + "'";
}

const QByteArray& fixedKey(OwnerKeyKind kind) {
    static const QByteArray words = derive(QByteArray(kWordsOwnerKey));
    static const QByteArray old = derive(QByteArray(kOldOwnerKey));
    return kind == OwnerKeyKind::Words ? words : old;
}
} // namespace

void setOwnerKey(const QString& ownerKey) {
    QByteArray raw = derive(ownerKey.toUtf8());
    QMutexLocker lock(&keyMutex);
    ownerRawKey = raw;
}

QByteArray rawTableKey(OwnerKeyKind kind) {
    switch (kind) {
    case OwnerKeyKind::None: return {};
    case OwnerKeyKind::Owner: {
        QMutexLocker lock(&keyMutex);
        return ownerRawKey;
    }
    case OwnerKeyKind::Words:
    case OwnerKeyKind::Old: return fixedKey(kind);
    }
    return {};
}

} // namespace ql
