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

bool SyncFileWriter::begin(const QString& password) {
    if (const QString error = private_file::open(file_); !error.isEmpty())
        return fail(error);
    header_.limits = limits_;
    randomBytes(header_.salt.data(), header_.salt.size());
    key_ = SyncKey::derive(password, header_);
    if (!key_)
        return fail(QStringLiteral("Not enough memory to derive the file's key"));
    header_.check = key_->checkFor(header_);
    stream_ = std::make_unique<Stream>();
    crypto_secretstream_xchacha20poly1305_init_push(&stream_->state, header_.streamHeader.data(),
                                                    key_->streamKey());
    authenticated_ = header_.authenticated();
    const QByteArray head = header_.encode();
    if (file_.write(head) != head.size())
        return fail(file_.errorString());
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
    if (file_.write(length) != length.size() || file_.write(sealed) != sealed.size())
        return fail(file_.errorString());
    return true;
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
    if (!file_.seek(kCountOffset) || file_.write(count) != count.size())
        return fail(file_.errorString());
    stream_.reset();
    error_ = private_file::commit(file_);
    return error_.isEmpty();
}

void SyncFileWriter::cancel() {
    stream_.reset();
    key_.reset();
    if (file_.isOpen()) {
        file_.cancelWriting();
        file_.commit(); // after cancelWriting this only drops the temporary file
    }
}

} // namespace ql
