#pragma once
#include "exchange/SyncFileWriter.h"
#include "exchange/SyncRun.h"
#include "platform/recordstore/DataTable.h"
#include <functional>

namespace ql {

// Writes every entry of one user into a synchronization file, sealed with the
// file's password (the user's own, or for a user without one the password he
// gave the file); the file's entries carry that password in SF_:USER. The
// entries are read in P_:KEYSERVICE order, which is the file's own order
// (SF_:KEYSERVICE). The target is replaced only when the file is complete.
class SyncSend : public SyncRun {
public:
    // `passwords` must be open; `user` is a Users record; `filePassword` seals
    // the file (a password sealsSyncFiles() accepts, else the run ends at once).
    SyncSend(DataTable& passwords, const Record& user, const QString& filePassword, SyncFileWriter& writer);

    bool start() override;
    bool useKey(const std::optional<SyncKey>& key) override;
    bool step(int limit) override;
    void cancel() override;
    int percent() const override;

    // Called after each entry written, with the number written so far.
    std::function<void(uint32_t)> afterEntry;

private:
    bool end(SyncEnd how, const QString& error = {});
    bool nextEntry(bool& more);

    DataTable& passwords_;
    QString userName_;
    QString password_;
    SyncFileWriter& writer_;
    Record entry_;
    int syncUserField_;
    qint64 total_ = 0;
    qint64 visited_ = 0;
    bool running_ = false;
};

} // namespace ql
