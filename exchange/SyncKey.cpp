#include "exchange/SyncKey.h"
#include "platform/records/Record.h"
#include <sodium.h>

namespace ql {

using namespace sync_format;

bool sealsSyncFiles(const QString& password) {
    const QStringView text = QStringView(password).trimmed();
    return !text.isEmpty() && text.compare(QLatin1String("Not Required"), Qt::CaseInsensitive) != 0;
}

std::optional<SyncKey> SyncKey::derive(const QString& password, const Header& header) {
    QByteArray text = trimmedRight(password).toUtf8();
    Material material{};
    const bool derived =
        deriveArgon2id(material.data(), material.size(), text, header.salt.data(), header.limits);
    sodium_memzero(text.data(), size_t(text.size()));
    std::optional<SyncKey> key;
    if (derived)
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

} // namespace ql
