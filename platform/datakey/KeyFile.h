#pragma once
#include "platform/secure/PassphraseKdf.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

namespace ql {

// The key file of a data folder protected by a passphrase: the data key,
// sealed (crypto_secretbox) under a key derived from the passphrase.
//
// Layout, little-endian:
//   magic "QLKEY\r\n\x1a" | version u16 | algorithm u16 | opslimit u32
//   | memlimit KiB u32 | salt 16 | nonce 24 | sealed length u16 | sealed key
// The sealed key is the 32-byte data key and its 16-byte tag. Nothing may
// follow it.
struct KeyFile {
    static constexpr int kNonceBytes = 24;
    static constexpr int kSealedBytes = 32 + 16;
    static constexpr int kFixedBytes = 8 + 2 + 2 + 4 + 4 + kKdfSaltBytes + kNonceBytes + 2;
    static constexpr int kMaxFileBytes = 4096; // a reader looks no further

    KdfLimits limits;
    std::array<unsigned char, kKdfSaltBytes> salt{};
    std::array<unsigned char, kNonceBytes> nonce{};
    std::array<unsigned char, kSealedBytes> sealed{};

    QByteArray encode() const;
    // Nothing unless the bytes are exactly one key file of this version with
    // acceptable limits.
    static std::optional<KeyFile> decode(QByteArrayView bytes);
};

// The key file's name inside the data folder.
inline const QString kKeyFileName = QStringLiteral("quillock.key");

// Writes the file atomically, readable and writable by the user alone.
bool writeKeyFile(const QString& path, const KeyFile& file, QString& error);
// Reads and decodes a key file; nothing (and the reason) when it is missing,
// unreadable, too long or not a key file.
std::optional<KeyFile> readKeyFile(const QString& path, QString& error);

} // namespace ql
