#pragma once
#include "exchange/SyncFormat.h"
#include "exchange/SyncKey.h"
#include "platform/records/Record.h"
#include <QIODevice>
#include <memory>
#include <optional>

namespace ql {

// Reads a synchronization file from a device of known size (a file, a
// buffer). A file from elsewhere is hostile: every length is checked against
// the bytes left before anything is read or allocated, and a file counts as
// complete only when its final message arrived with the right entry count and
// nothing follows it.
class SyncFileReader {
public:
    enum class Status {
        Ok,             // an entry was read
        End,            // the file is complete and every entry was read
        Malformed,      // not a synchronization file, damaged or cut short
        WrongPassword,  // the password does not open the file
        NoMemory        // the key derivation could not get its memory
    };

    explicit SyncFileReader(QIODevice& device);
    ~SyncFileReader();
    SyncFileReader(const SyncFileReader&) = delete;
    SyncFileReader& operator=(const SyncFileReader&) = delete;

    Status readHeader();
    const sync_format::Header& header() const { return header_; }
    // Derives the key from the password (slow by design) and checks it.
    Status unlock(const QString& password);
    Status unlock(const SyncKey& key);
    // Reads the next entry into `record` (a SyncFile record).
    Status next(Record& record);

    uint32_t entriesRead() const { return read_; }
    // Entries announced by the header, for progress only.
    uint32_t entriesAnnounced() const { return header_.count; }

private:
    struct Stream;
    Status readNext(Record& record);
    Status finish(QByteArrayView plain);
    qint64 bytesLeft() const { return device_.size() - device_.pos(); }

    QIODevice& device_;
    sync_format::Header header_;
    QByteArray authenticated_;
    std::unique_ptr<Stream> stream_;
    uint32_t read_ = 0;
    bool ended_ = false;
};

} // namespace ql
