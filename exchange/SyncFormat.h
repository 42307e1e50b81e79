#pragma once
#include "platform/secure/ByteOrder.h"
#include "platform/secure/PassphraseKdf.h"
#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <optional>

namespace ql {

// The synchronization file: a fixed header, then the body as a sequence of
// sealed messages (crypto_secretstream_xchacha20poly1305), each preceded by
// its length. One message per entry; the last one, tagged final, holds the
// number of entries, so a cut file is never taken for a complete one.
//
// Header, little-endian:
//   magic "QLSYNC\r\n" | version u16 | algorithm u16 | opslimit u32 | memlimit KiB u32
//   | salt 16 | key check 32 | entry count u32 | stream header 24
// Every message is authenticated together with the header up to the salt.
// The key check tells a wrong password from a damaged body.
namespace sync_format {

inline constexpr char kMagic[8] = {'Q', 'L', 'S', 'Y', 'N', 'C', '\r', '\n'};
inline constexpr uint16_t kVersion = 1;
inline constexpr uint16_t kArgon2id = kArgon2idAlgorithm;
inline constexpr int kSaltBytes = kKdfSaltBytes;
inline constexpr int kCheckBytes = 32;
inline constexpr int kStreamHeaderBytes = 24;
inline constexpr int kAuthenticatedBytes = 8 + 2 + 2 + 4 + 4 + kSaltBytes; // magic to salt
inline constexpr int kCountOffset = kAuthenticatedBytes + kCheckBytes;
inline constexpr int kHeaderBytes = kCountOffset + 4 + kStreamHeaderBytes;
// Largest sealed message a reader accepts: an entry with a large attachment.
inline constexpr uint32_t kMaxMessageBytes = 64u * 1024 * 1024;

// Cost of the key derivation (Argon2id). Files are written with kWritten; a
// reader refuses anything below kLowest or costing more than four times
// kWritten (passes times memory, and memory alone), so that a forged header
// holds a receive up for a second or two at most.
using ql::KdfLimits;
inline constexpr KdfLimits kWritten{3, 64 * 1024};
inline constexpr KdfLimits kLowest = kKdfLowest;
inline constexpr uint64_t kMostCost = 4ull * kWritten.opsLimit * kWritten.memKiB;
inline constexpr uint32_t kMostMemKiB = 4 * kWritten.memKiB;
inline bool limitsAccepted(const KdfLimits& limits) {
    return kdfLimitsAccepted(limits) && limits.memKiB <= kMostMemKiB &&
           uint64_t(limits.opsLimit) * limits.memKiB <= kMostCost;
}

struct Header {
    KdfLimits limits;
    std::array<unsigned char, kSaltBytes> salt{};
    std::array<unsigned char, kCheckBytes> check{};
    uint32_t count = 0;
    std::array<unsigned char, kStreamHeaderBytes> streamHeader{};

    QByteArray encode() const;
    // The part every message is authenticated with.
    QByteArray authenticated() const { return encode().left(kAuthenticatedBytes); }
    // Nothing when the bytes are not a header this version reads (magic,
    // version, algorithm, limits).
    static std::optional<Header> decode(QByteArrayView bytes);
};

// Little-endian helpers shared by the codecs.
using byte_order::getU32;
using byte_order::putU32;

} // namespace sync_format
} // namespace ql
