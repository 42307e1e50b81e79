#include "platform/datakey/KeyFile.h"
#include "platform/recordstore/FileSafety.h"
#include "platform/secure/ByteOrder.h"
#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace ql {

using namespace byte_order;

namespace {

constexpr char kMagic[8] = {'Q', 'L', 'K', 'E', 'Y', '\r', '\n', '\x1a'};
constexpr uint16_t kVersion = 1;

// Reads forward through the bytes, refusing any read past their end.
class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : at_(reinterpret_cast<const unsigned char*>(bytes.data())), left_(size_t(bytes.size())) {}
    bool take(void* out, size_t count) {
        if (count > left_) return false;
        std::memcpy(out, at_, count);
        at_ += count;
        left_ -= count;
        return true;
    }
    bool u16(uint16_t& value) {
        unsigned char b[2];
        if (!take(b, 2)) return false;
        value = getU16(b);
        return true;
    }
    bool u32(uint32_t& value) {
        unsigned char b[4];
        if (!take(b, 4)) return false;
        value = getU32(b);
        return true;
    }
    size_t left() const { return left_; }

private:
    const unsigned char* at_;
    size_t left_;
};

} // namespace

QByteArray KeyFile::encode() const {
    QByteArray out = kdfPreamble(QByteArrayView(kMagic, sizeof kMagic), kVersion, limits, salt);
    putBytes(out, nonce);
    putU16(out, uint16_t(kSealedBytes));
    putBytes(out, sealed);
    return out;
}

std::optional<KeyFile> KeyFile::decode(QByteArrayView bytes) {
    Reader in(bytes);
    char magic[sizeof kMagic];
    uint16_t version = 0, algorithm = 0, sealedSize = 0;
    KeyFile file;
    if (!in.take(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    if (!in.u16(version) || !in.u16(algorithm) || version != kVersion || algorithm != kArgon2idAlgorithm)
        return std::nullopt;
    if (!in.u32(file.limits.opsLimit) || !in.u32(file.limits.memKiB) || !kdfLimitsAccepted(file.limits))
        return std::nullopt;
    if (!in.take(file.salt.data(), file.salt.size()) || !in.take(file.nonce.data(), file.nonce.size()))
        return std::nullopt;
    if (!in.u16(sealedSize) || sealedSize != kSealedBytes || in.left() != sealedSize)
        return std::nullopt;
    if (!in.take(file.sealed.data(), file.sealed.size()))
        return std::nullopt;
    return file;
}

bool writeKeyFile(const QString& path, const KeyFile& file, QString& error) {
    if (isSymbolicLink(path)) {
        error = QStringLiteral("%1 is a symbolic link; the key is never written through one.")
                    .arg(path);
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        error = out.errorString();
        return false;
    }
    const QByteArray bytes = file.encode();
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        error = out.errorString();
        return false;
    }
    return true;
}

std::optional<KeyFile> readKeyFile(const QString& path, QString& error) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = in.read(KeyFile::kMaxFileBytes + 1);
    std::optional<KeyFile> file = KeyFile::decode(bytes);
    if (!file)
        error = QStringLiteral("Not a key file of this program");
    return file;
}

} // namespace ql
