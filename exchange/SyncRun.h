#pragma once
#include "exchange/SyncKey.h"
#include <QString>
#include <optional>

namespace ql {

// How a run of sending or receiving ended.
enum class SyncEnd {
    Completed,
    Cancelled,
    PasswordMismatch,  // the receiving user's password does not open the file
    BadFile,           // not a synchronization file, damaged or cut short
    CannotOpen,        // the file to receive could not be opened
    AddFailed,         // an entry could not be written (file or table)
    UpdateFailed,      // an existing entry could not be replaced
    ReadFailed,        // the entries could not be read
    NoMemory,          // the key derivation could not get its memory
    RefusedTarget,     // the chosen file is one of the data folder's own files
    NoFilePassword     // nothing that may seal or open a file was given
};

// What the key of a run is derived from: slow by design, so that the windows
// derive it on another thread between start() and the run's use of it.
struct SyncKeyRequest {
    QString password;
    sync_format::Header header;
};

struct SyncOutcome {
    SyncEnd end = SyncEnd::Completed;
    int added = 0;
    int updated = 0;
    int undone = 0;      // merges taken back when a receive did not complete
    // A received entry that was written is watched by the monitor, or was
    // before it was replaced: the receiving user's watched entries changed.
    bool watchedChanged = false;
    QString file;        // the synchronization file
    QString errorText;   // the failing operation's own text
};

// One run of sending or receiving, driven in batches: by a progress window's
// timer, or straight through on the command line.
class SyncRun {
public:
    virtual ~SyncRun() = default;
    // Prepares the run up to its key (see keyRequest()); false when it ended
    // already (see outcome()).
    virtual bool start() = 0;
    // After start(): what the key is derived from.
    const SyncKeyRequest& keyRequest() const { return keyRequest_; }
    // Goes on with the key derived from keyRequest() (nothing: there was no
    // memory for the derivation); false when the run ended.
    virtual bool useKey(const std::optional<SyncKey>& key) = 0;
    // Handles up to `limit` entries; false once the run has ended.
    virtual bool step(int limit) = 0;
    // Ends the run before its end, as Cancelled.
    virtual void cancel() = 0;
    // 0 to 100.
    virtual int percent() const = 0;
    const SyncOutcome& outcome() const { return outcome_; }

protected:
    SyncOutcome outcome_;
    SyncKeyRequest keyRequest_;
};

// Runs start(), derives the key, and runs every step to the end; returns
// the outcome.
const SyncOutcome& runToEnd(SyncRun& run);

} // namespace ql
