#include "exchange/SyncFileReader.h"
#include "exchange/SyncRecordCodec.h"
#include <sodium.h>

namespace ql {

using namespace sync_format;
using Status = SyncFileReader::Status;

namespace {
constexpr qint64 kSealBytes = crypto_secretstream_xchacha20poly1305_ABYTES;
}

struct SyncFileReader::Stream {
    crypto_secretstream_xchacha20poly1305_state state;
    ~Stream() { sodium_memzero(&state, sizeof state); }
};

SyncFileReader::SyncFileReader(QIODevice& device) : device_(device) {}

SyncFileReader::~SyncFileReader() = default;

Status SyncFileReader::readHeader() {
    if (bytesLeft() < kHeaderBytes)
        return Status::Malformed;
    const std::optional<Header> header = Header::decode(device_.read(kHeaderBytes));
    if (!header)
        return Status::Malformed;
    header_ = *header;
    authenticated_ = header_.authenticated();
    return Status::Ok;
}

Status SyncFileReader::unlock(const QString& password) {
    if (!sealsSyncFiles(password))
        return Status::WrongPassword; // no file is ever sealed with it
    const std::optional<SyncKey> key = SyncKey::derive(password, header_);
    return key ? unlock(*key) : Status::NoMemory;
}

Status SyncFileReader::unlock(const SyncKey& key) {
    if (authenticated_.isEmpty())
        return Status::Malformed;
    if (!key.opens(header_))
        return Status::WrongPassword;
    stream_ = std::make_unique<Stream>();
    if (crypto_secretstream_xchacha20poly1305_init_pull(&stream_->state, header_.streamHeader.data(),
                                                        key.streamKey()) != 0) {
        stream_.reset();
        return Status::Malformed;
    }
    return Status::Ok;
}

Status SyncFileReader::next(Record& record) {
    const Status status = readNext(record);
    if (status == Status::Malformed)
        stream_.reset(); // nothing more is read from a file found damaged
    return status;
}

Status SyncFileReader::readNext(Record& record) {
    if (ended_)
        return Status::End;
    if (!stream_ || bytesLeft() < 4)
        return Status::Malformed;
    const QByteArray prefix = device_.read(4);
    const uint32_t size = getU32(reinterpret_cast<const unsigned char*>(prefix.constData()));
    if (size < kSealBytes || size > kMaxMessageBytes || size > bytesLeft())
        return Status::Malformed;
    const QByteArray sealed = device_.read(size);
    if (sealed.size() != qsizetype(size))
        return Status::Malformed;
    QByteArray plain(sealed.size() - kSealBytes, Qt::Uninitialized);
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            &stream_->state, reinterpret_cast<unsigned char*>(plain.data()), nullptr, &tag,
            reinterpret_cast<const unsigned char*>(sealed.constData()), size,
            reinterpret_cast<const unsigned char*>(authenticated_.constData()),
            static_cast<unsigned long long>(authenticated_.size())) != 0)
        return Status::Malformed;
    Status status = Status::Malformed;
    if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        status = finish(plain);
    } else if (tag == crypto_secretstream_xchacha20poly1305_TAG_MESSAGE && read_ < UINT32_MAX &&
               decodeSyncRecord(plain, record)) {
        ++read_;
        status = Status::Ok;
    }
    sodium_memzero(plain.data(), size_t(plain.size()));
    return status;
}

// The final message holds the entry count; nothing may follow it.
Status SyncFileReader::finish(QByteArrayView plain) {
    if (plain.size() != 4 || bytesLeft() != 0)
        return Status::Malformed;
    const uint32_t count = getU32(reinterpret_cast<const unsigned char*>(plain.data()));
    if (count != read_ || count != header_.count)
        return Status::Malformed;
    ended_ = true;
    stream_.reset();
    return Status::End;
}

} // namespace ql
