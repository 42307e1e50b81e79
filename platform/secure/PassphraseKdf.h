#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstddef>
#include <cstdint>

namespace ql {

// Cost of a key derived from a passphrase with Argon2id. Anything read from a
// file is checked with kdfLimitsAccepted() first: that bounds the time and
// memory a file from elsewhere can demand.
struct KdfLimits {
    uint32_t opsLimit = 0;
    uint32_t memKiB = 0;
};
inline constexpr KdfLimits kKdfLowest{1, 8 * 1024};
inline constexpr KdfLimits kKdfHighest{10, 1024 * 1024};
inline constexpr int kKdfSaltBytes = 16;

bool kdfLimitsAccepted(const KdfLimits& limits);

// Fills `out` with `size` bytes derived from `secret` and a salt of
// kKdfSaltBytes with Argon2id. False when libsodium is unusable or the
// derivation cannot get its memory.
bool deriveArgon2id(unsigned char* out, size_t size, QByteArrayView secret, const unsigned char* salt,
                    const KdfLimits& limits);

inline constexpr uint16_t kArgon2idAlgorithm = 1;

// The start the program's sealed formats share, little-endian: magic |
// version u16 | algorithm u16 (Argon2id) | opslimit u32 | memlimit KiB u32 | salt.
QByteArray kdfPreamble(QByteArrayView magic, uint16_t version, const KdfLimits& limits,
                       const std::array<unsigned char, kKdfSaltBytes>& salt);

// Fills `bytes` from the operating system's random source.
void randomBytes(unsigned char* bytes, size_t size);

} // namespace ql
