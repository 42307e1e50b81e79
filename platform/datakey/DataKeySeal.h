#pragma once
#include "platform/datakey/KeyFile.h"
#include "platform/secure/SecretBytes.h"
#include <QByteArrayView>
#include <optional>

namespace ql {

inline constexpr size_t kDataKeyBytes = 32;
// The derivation cost of new key files: libsodium's moderate limits for
// Argon2id, 3 passes over 256 MiB (paid once per start of a program).
inline constexpr KdfLimits kKeyFileLimits{3, 256 * 1024};

// A new random data key in locked memory.
SecretBytes newDataKey();

// The key that seals a data key, derived from the passphrase (UTF-8) with the
// file's salt and limits; it lives in locked memory. Empty when the
// derivation fails.
SecretBytes passphraseKey(QByteArrayView passphrase, const KeyFile& file);

// A key file holding `dataKey` sealed under `passphrase`, with a new salt and
// nonce; nothing when the derivation fails.
std::optional<KeyFile> sealDataKey(const SecretBytes& dataKey, QByteArrayView passphrase,
                                   const KdfLimits& limits = kKeyFileLimits);
// The same with a passphrase key already derived for `file`'s salt and limits:
// a new nonce, the same salt.
KeyFile resealDataKey(const SecretBytes& dataKey, const SecretBytes& key, const KeyFile& file);

// The data key, when `key` passes the seal's check; else nothing.
std::optional<SecretBytes> openDataKey(const KeyFile& file, const SecretBytes& key);

} // namespace ql
