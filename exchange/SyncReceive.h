#pragma once
#include "exchange/SyncFileReader.h"
#include "exchange/SyncRun.h"
#include "platform/recordstore/DataTable.h"
#include <functional>

namespace ql {

// Merges a synchronization file into the entries of one user: an entry that
// does not exist (same name and service, case ignored) is added for that user,
// an existing one is replaced when the incoming copy changed later (date,
// then time; equal keeps the existing entry). Attachments travel with both.
// The whole run is one batch: a damaged file, a password mismatch, a failed
// write or a cancel leaves the user's entries exactly as they were.
class SyncReceive : public SyncRun {
public:
    // Writes one entry through the table: add() for a new entry, put() for a
    // replaced one. Replaceable so that tests can make a write fail.
    using EntryWrite = std::function<int(DataTable& passwords, bool adding)>;

    // `passwords` must be open for writing; `user` is a Users record;
    // `filePassword` must open the file: the user's own password, or for a
    // user without one the password he typed for the file.
    SyncReceive(DataTable& passwords, const Record& user, const QString& filePassword,
                SyncFileReader& reader, const QString& fileName);

    bool start() override;
    bool useKey(const std::optional<SyncKey>& key) override;
    bool step(int limit) override;
    void cancel() override;
    int percent() const override;

    void setEntryWrite(EntryWrite write) { write_ = std::move(write); }

private:
    bool end(SyncEnd how, QString error = {});
    void fillIncoming();
    bool merge();
    bool incomingIsNewer() const;
    bool writeEntry(bool adding);
    void noteWatched(bool wasWatched);

    DataTable& passwords_;
    QString userName_;
    QString password_;
    SyncFileReader& reader_;
    Record incoming_;
    EntryWrite write_;
    bool running_ = false;
};

} // namespace ql
