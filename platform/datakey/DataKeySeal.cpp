#include "platform/datakey/DataKeySeal.h"
#include <sodium.h>

namespace ql {

static_assert(KeyFile::kNonceBytes == crypto_secretbox_NONCEBYTES);
static_assert(KeyFile::kSealedBytes == kDataKeyBytes + crypto_secretbox_MACBYTES);
static_assert(kDataKeyBytes == crypto_secretbox_KEYBYTES);
static_assert(kKeyFileLimits.opsLimit == crypto_pwhash_OPSLIMIT_MODERATE);
static_assert(size_t(kKeyFileLimits.memKiB) * 1024 == crypto_pwhash_MEMLIMIT_MODERATE);

SecretBytes newDataKey() {
    SecretBytes key(kDataKeyBytes);
    randomBytes(reinterpret_cast<unsigned char*>(key.data()), key.size());
    return key;
}

SecretBytes passphraseKey(QByteArrayView passphrase, const KeyFile& file) {
    SecretBytes key(crypto_secretbox_KEYBYTES);
    if (!deriveArgon2id(reinterpret_cast<unsigned char*>(key.data()), key.size(), passphrase,
                        file.salt.data(), file.limits))
        return {};
    return key;
}

KeyFile resealDataKey(const SecretBytes& dataKey, const SecretBytes& key, const KeyFile& file) {
    KeyFile sealed = file;
    randomBytes(sealed.nonce.data(), sealed.nonce.size());
    crypto_secretbox_easy(sealed.sealed.data(), reinterpret_cast<const unsigned char*>(dataKey.constData()),
                          dataKey.size(), sealed.nonce.data(),
                          reinterpret_cast<const unsigned char*>(key.constData()));
    return sealed;
}

std::optional<KeyFile> sealDataKey(const SecretBytes& dataKey, QByteArrayView passphrase,
                                   const KdfLimits& limits) {
    KeyFile file;
    file.limits = limits;
    randomBytes(file.salt.data(), file.salt.size());
    const SecretBytes key = passphraseKey(passphrase, file);
    if (key.isEmpty() || dataKey.size() != kDataKeyBytes)
        return std::nullopt;
    return resealDataKey(dataKey, key, file);
}

std::optional<SecretBytes> openDataKey(const KeyFile& file, const SecretBytes& key) {
    if (key.size() != crypto_secretbox_KEYBYTES)
        return std::nullopt;
    SecretBytes dataKey(kDataKeyBytes);
    if (crypto_secretbox_open_easy(reinterpret_cast<unsigned char*>(dataKey.data()), file.sealed.data(),
                                   file.sealed.size(), file.nonce.data(),
                                   reinterpret_cast<const unsigned char*>(key.constData())) != 0)
        return std::nullopt;
    return dataKey;
}

} // namespace ql
