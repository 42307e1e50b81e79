#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/DataTable.h"
#include "platform/secure/Wipe.h"
#include <QMutex>
#include <sodium.h>

namespace ql {

namespace {
QMutex keyMutex;
SecretBytes& ownerRawKey() { // guarded by keyMutex
    static SecretBytes key;
    return key;
}
SecretBytes& dataRawKey() { // guarded by keyMutex
    static SecretBytes key;
    return key;
}

// A fixed, program-specific context keeps these keys apart from any other use
// of the same text. The digest and its hex text live in locked memory only.
SecretBytes derive(const char* secret, size_t size) {
    static const char kContext[] = "quillock table key v1";
    SecretBytes digest(crypto_hash_sha256_BYTES);
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(kContext),
                              sizeof kContext); // the context and its terminating zero
    crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(secret), size);
    crypto_hash_sha256_final(&state, reinterpret_cast<unsigned char*>(digest.data()));
    sodium_memzero(&state, sizeof state);
    return rawKeyText(digest);
}

const SecretBytes& fixedKey(OwnerKeyKind kind) {
    static const SecretBytes words = derive(kWordsOwnerKey, sizeof kWordsOwnerKey - 1);
    static const SecretBytes old = derive(kOldOwnerKey, sizeof kOldOwnerKey - 1);
    return kind == OwnerKeyKind::Words ? words : old;
}
} // namespace

void setOwnerKey(const QString& ownerKey) {
    QByteArray utf8 = ownerKey.toUtf8();
    SecretBytes raw = derive(utf8.constData(), size_t(utf8.size()));
    wipeBytes(utf8);
    QMutexLocker lock(&keyMutex);
    ownerRawKey() = std::move(raw);
}

SecretBytes rawKeyText(const SecretBytes& keyBytes) {
    const size_t hex = 2 * keyBytes.size();
    SecretBytes key(2 + hex + 1 + 1); // x'<hex>' and a zero
    key.data()[0] = 'x';
    key.data()[1] = '\'';
    sodium_bin2hex(key.data() + 2, hex + 1, reinterpret_cast<const unsigned char*>(keyBytes.constData()),
                   keyBytes.size());
    key.data()[2 + hex] = '\'';
    return SecretBytes(key.constData(), key.size() - 1); // without the zero
}

void useDataKey(const SecretBytes& dataKey) {
    SecretBytes raw = dataKey.isEmpty() ? SecretBytes() : rawKeyText(dataKey);
    QMutexLocker lock(&keyMutex);
    dataRawKey() = std::move(raw);
}

bool dataKeyInUse() {
    QMutexLocker lock(&keyMutex);
    return !dataRawKey().isEmpty();
}

SecretBytes builtInTableKey(OwnerKeyKind kind) {
    switch (kind) {
    case OwnerKeyKind::None: return {};
    case OwnerKeyKind::Owner: {
        QMutexLocker lock(&keyMutex);
        return ownerRawKey().copy();
    }
    case OwnerKeyKind::Words:
    case OwnerKeyKind::Old: return fixedKey(kind).copy();
    }
    return {};
}

SecretBytes rawTableKey(OwnerKeyKind kind) {
    if (kind != OwnerKeyKind::None) {
        QMutexLocker lock(&keyMutex);
        if (!dataRawKey().isEmpty())
            return dataRawKey().copy();
    }
    return builtInTableKey(kind);
}

} // namespace ql
