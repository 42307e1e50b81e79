#include "exchange/SyncFormat.h"
#include <cstring>

namespace ql::sync_format {

namespace {
using byte_order::getU16;
using byte_order::putBytes;

template <size_t N>
void getBytes(std::array<unsigned char, N>& bytes, const unsigned char* in) {
    std::memcpy(bytes.data(), in, N);
}
} // namespace

QByteArray Header::encode() const {
    QByteArray out = kdfPreamble(QByteArrayView(kMagic, sizeof kMagic), kVersion, limits, salt);
    putBytes(out, check);
    putU32(out, count);
    putBytes(out, streamHeader);
    return out;
}

std::optional<Header> Header::decode(QByteArrayView bytes) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data()) + sizeof kMagic;
    if (getU16(in) != kVersion || getU16(in + 2) != kArgon2id)
        return std::nullopt;
    Header h;
    h.limits = {getU32(in + 4), getU32(in + 8)};
    if (!limitsAccepted(h.limits))
        return std::nullopt;
    in += 12;
    getBytes(h.salt, in);
    getBytes(h.check, in + kSaltBytes);
    h.count = getU32(in + kSaltBytes + kCheckBytes);
    getBytes(h.streamHeader, in + kSaltBytes + kCheckBytes + 4);
    return h;
}

} // namespace ql::sync_format
