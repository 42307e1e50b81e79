#include "platform/secure/PassphraseKdf.h"
#include "platform/secure/ByteOrder.h"
#include <sodium.h>

namespace ql {

namespace {
bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}
} // namespace

bool kdfLimitsAccepted(const KdfLimits& limits) {
    return limits.opsLimit >= kKdfLowest.opsLimit && limits.opsLimit <= kKdfHighest.opsLimit &&
           limits.memKiB >= kKdfLowest.memKiB && limits.memKiB <= kKdfHighest.memKiB;
}

bool deriveArgon2id(unsigned char* out, size_t size, QByteArrayView secret, const unsigned char* salt,
                    const KdfLimits& limits) {
    if (!sodiumReady() || !kdfLimitsAccepted(limits))
        return false;
    return crypto_pwhash(out, size, secret.data(), static_cast<unsigned long long>(secret.size()),
                         salt, limits.opsLimit, size_t(limits.memKiB) * 1024,
                         crypto_pwhash_ALG_ARGON2ID13) == 0;
}

QByteArray kdfPreamble(QByteArrayView magic, uint16_t version, const KdfLimits& limits,
                       const std::array<unsigned char, kKdfSaltBytes>& salt) {
    QByteArray out = magic.toByteArray();
    byte_order::putU16(out, version);
    byte_order::putU16(out, kArgon2idAlgorithm);
    byte_order::putU32(out, limits.opsLimit);
    byte_order::putU32(out, limits.memKiB);
    byte_order::putBytes(out, salt);
    return out;
}

void randomBytes(unsigned char* bytes, size_t size) {
    if (sodiumReady())
        randombytes_buf(bytes, size);
}

} // namespace ql
