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

    // Opens the temporary file and derives the key from the password.
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
    bool fail(const QString& text);

    QString path_;
    sync_format::KdfLimits limits_;
    QSaveFile file_;
    sync_format::Header header_;
    QByteArray authenticated_;
    std::optional<SyncKey> key_;
    std::unique_ptr<Stream> stream_;
    uint32_t count_ = 0;
    QString error_;
};

} // namespace ql
