#pragma once
#include "exchange/SyncFormat.h"
#include <QString>
#include <array>
#include <optional>

namespace ql {

// True when `password` may seal or open a synchronization file: not blank,
// and not the public text "Not Required" of a user without a password (such
// a user gives the file a password of its own).
bool sealsSyncFiles(const QString& password);

// The keys of one synchronization file, derived with Argon2id from the
// sending user's password and the header's salt and limits: one key seals the
// body, the other makes the header's key check. Wiped when destroyed.
class SyncKey {
public:
    static constexpr int kBytes = 64;
    using Material = std::array<unsigned char, kBytes>;

    // Trailing blanks of the password do not count, as in every password
    // comparison. Nothing when the derivation cannot get its memory.
    static std::optional<SyncKey> derive(const QString& password, const sync_format::Header& header);
    explicit SyncKey(const Material& material) : material_(material) {}
    ~SyncKey();
    SyncKey(const SyncKey&) = default;
    SyncKey& operator=(const SyncKey&) = default;

    // The check a header made with this key carries.
    std::array<unsigned char, sync_format::kCheckBytes> checkFor(const sync_format::Header& header) const;
    bool opens(const sync_format::Header& header) const;
    const unsigned char* streamKey() const { return material_.data(); }

private:
    Material material_{};
};

} // namespace ql
