#pragma once
#include "exchange/SyncFormat.h"
#include "exchange/SyncKey.h"
#include "platform/records/Record.h"
#include <QSaveFile>
#include <memory>
#include <optional>

namespace ql {

// Writes one synchronization file. Everything goes to a temporary file in the
// target's folder, which replaces the target only in commit(): a failure, a
// cancel or the end of the process before commit() leaves an existing target
// as it was. The file is readable by the user alone.
class SyncFileWriter {
public:
    explicit SyncFileWriter(const QString& path, sync_format::KdfLimits limits = sync_format::kWritten);
    ~SyncFileWriter();
    SyncFileWriter(const SyncFileWriter&) = delete;
    SyncFileWriter& operator=(const SyncFileWriter&) = delete;

    // The header of the file to come, with the cost and a fresh salt: the
    // key is derived from it and the password.
    const sync_format::Header& prepare();
    // After prepare(): opens the temporary file and writes the header. On a
    // drive that cannot keep files private (FAT) the file is written all the
    // same: it is sealed.
    bool begin(const SyncKey& key);
    // prepare(), the derivation and begin() in one (false for a password
    // that may not seal a file).
    bool begin(const QString& password);
    // Adds one entry (a SyncFile record).
    bool write(const Record& record);
    // Closes the body and puts the file in the target's place.
    bool commit();
    // Drops the temporary file.
    void cancel();

    uint32_t count() const { return count_; }
    QString path() const { return path_; }
    QString errorText() const { return error_; }

private:
    struct Stream;
    bool writeMessage(QByteArray& plain, bool final);
    bool put(const QByteArray& bytes);

    // Sealed bytes held before they go to the file (nothing secret).
    static constexpr qsizetype kHeldBytes = 16 * 1024 * 1024;
    bool fail(const QString& text);

    QString path_;
    sync_format::KdfLimits limits_;
    QSaveFile file_;
    sync_format::Header header_;
    QByteArray authenticated_;
    std::optional<SyncKey> key_;
    std::unique_ptr<Stream> stream_;
    QByteArray held_;
    bool spilled_ = false;
    uint32_t count_ = 0;
    QString error_;
};

} // namespace ql
