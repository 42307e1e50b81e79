#include "exchange/SyncFileWriter.h"
#include "exchange/SyncRecordCodec.h"
#include "platform/core/PrivateFile.h"
#include <sodium.h>

namespace ql {

using namespace sync_format;

struct SyncFileWriter::Stream {
    crypto_secretstream_xchacha20poly1305_state state;
    ~Stream() { sodium_memzero(&state, sizeof state); }
};

SyncFileWriter::SyncFileWriter(const QString& path, KdfLimits limits)
    : path_(path), limits_(limits), file_(path) {}

SyncFileWriter::~SyncFileWriter() { cancel(); }

bool SyncFileWriter::fail(const QString& text) {
    error_ = text.isEmpty() ? QStringLiteral("Write error") : text;
    cancel();
    return false;
}

const Header& SyncFileWriter::prepare() {
    header_ = Header{};
    header_.limits = limits_;
    randomBytes(header_.salt.data(), header_.salt.size());
    return header_;
}

bool SyncFileWriter::begin(const QString& password) {
    if (!sealsSyncFiles(password))
        return fail(QStringLiteral("A synchronization file needs a password"));
    prepare();
    const std::optional<SyncKey> key = SyncKey::derive(password, header_);
    if (!key)
        return fail(QStringLiteral("Not enough memory to derive the file's key"));
    return begin(*key);
}

bool SyncFileWriter::begin(const SyncKey& key) {
    if (const QString error = private_file::open(file_, private_file::Privacy::BestEffort); !error.isEmpty())
        return fail(error);
    key_ = key;
    header_.check = key_->checkFor(header_);
    stream_ = std::make_unique<Stream>();
    crypto_secretstream_xchacha20poly1305_init_push(&stream_->state, header_.streamHeader.data(),
                                                    key_->streamKey());
    authenticated_ = header_.authenticated();
    held_ = header_.encode();
    spilled_ = false;
    return true;
}

// The file is written front to back in one go where it fits in memory: some
// file systems of USB sticks mishandle a write over bytes already written,
// which the entry count in the header would otherwise need.
bool SyncFileWriter::put(const QByteArray& bytes) {
    held_.append(bytes);
    if (held_.size() < kHeldBytes) return true;
    spilled_ = true;
    if (file_.write(held_) != held_.size()) return fail(file_.errorString());
    held_.clear();
    return true;
}

bool SyncFileWriter::writeMessage(QByteArray& plain, bool final) {
    const auto plainSize = static_cast<unsigned long long>(plain.size());
    QByteArray sealed(qsizetype(plainSize + crypto_secretstream_xchacha20poly1305_ABYTES), Qt::Uninitialized);
    crypto_secretstream_xchacha20poly1305_push(
        &stream_->state, reinterpret_cast<unsigned char*>(sealed.data()), nullptr,
        reinterpret_cast<const unsigned char*>(plain.constData()), plainSize,
        reinterpret_cast<const unsigned char*>(authenticated_.constData()),
        static_cast<unsigned long long>(authenticated_.size()),
        final ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
              : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    sodium_memzero(plain.data(), size_t(plain.size()));
    QByteArray length;
    putU32(length, uint32_t(sealed.size()));
    return put(length) && put(sealed);
}

bool SyncFileWriter::write(const Record& record) {
    if (!stream_)
        return fail(error_);
    QByteArray plain = encodeSyncRecord(record);
    if (uint64_t(plain.size()) > kMaxMessageBytes - crypto_secretstream_xchacha20poly1305_ABYTES) {
        sodium_memzero(plain.data(), size_t(plain.size()));
        return fail(QStringLiteral("Entry too large for a synchronization file"));
    }
    if (!writeMessage(plain, false))
        return false;
    ++count_;
    return true;
}

bool SyncFileWriter::commit() {
    if (!stream_)
        return fail(error_);
    QByteArray last;
    putU32(last, count_);
    if (!writeMessage(last, true))
        return false;
    QByteArray count;
    putU32(count, count_);
    if (!spilled_) {
        held_.replace(kCountOffset, count.size(), count);
        if (file_.write(held_) != held_.size()) return fail(file_.errorString());
    } else if (file_.write(held_) != held_.size() || !file_.seek(kCountOffset) ||
               file_.write(count) != count.size()) {
        return fail(file_.errorString());
    }
    held_.clear();
    stream_.reset();
    error_ = private_file::commit(file_);
    return error_.isEmpty();
}

void SyncFileWriter::cancel() {
    held_.clear();
    stream_.reset();
    key_.reset();
    if (file_.isOpen()) {
        file_.cancelWriting();
        file_.commit(); // after cancelWriting this only drops the temporary file
    }
}

} // namespace ql
