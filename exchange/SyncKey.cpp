#include "exchange/SyncKey.h"
#include "platform/records/Record.h"
#include <sodium.h>

namespace ql {

using namespace sync_format;

namespace {
bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}
} // namespace

std::optional<SyncKey> SyncKey::derive(const QString& password, const Header& header) {
    if (!sodiumReady())
        return std::nullopt;
    QByteArray text = trimmedRight(password).toUtf8();
    Material material{};
    const int rc = crypto_pwhash(material.data(), material.size(), text.constData(),
                                 static_cast<unsigned long long>(text.size()), header.salt.data(),
                                 header.limits.opsLimit, size_t(header.limits.memKiB) * 1024,
                                 crypto_pwhash_ALG_ARGON2ID13);
    sodium_memzero(text.data(), size_t(text.size()));
    std::optional<SyncKey> key;
    if (rc == 0)
        key.emplace(material);
    sodium_memzero(material.data(), material.size());
    return key;
}

SyncKey::~SyncKey() { sodium_memzero(material_.data(), material_.size()); }

std::array<unsigned char, kCheckBytes> SyncKey::checkFor(const Header& header) const {
    const QByteArray covered = header.authenticated();
    std::array<unsigned char, kCheckBytes> check{};
    crypto_generichash(check.data(), check.size(),
                       reinterpret_cast<const unsigned char*>(covered.constData()),
                       size_t(covered.size()), material_.data() + 32, 32);
    return check;
}

bool SyncKey::opens(const Header& header) const {
    const auto check = checkFor(header);
    return sodium_memcmp(check.data(), header.check.data(), check.size()) == 0;
}

void randomBytes(unsigned char* bytes, size_t size) {
    if (sodiumReady())
        randombytes_buf(bytes, size);
}

} // namespace ql
