#include "exchange/SyncSend.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/Layouts.h"
#include <algorithm>

namespace ql {

namespace {
int userField() { return passwordsTable().fieldIndex("P_:USER"); }
} // namespace

const SyncOutcome& runToEnd(SyncRun& run) {
    if (run.start() && run.useKey(SyncKey::derive(run.keyRequest().password, run.keyRequest().header)))
        while (run.step(1000)) {}
    return run.outcome();
}

SyncSend::SyncSend(DataTable& passwords, const Record& user, const QString& filePassword,
                   SyncFileWriter& writer)
    : passwords_(passwords), userName_(user.text("U_:NAME")), password_(filePassword),
      writer_(writer), entry_(syncFileTable()),
      syncUserField_(entry_.fieldIndex("SF_:USER")) {
    outcome_.file = writer.path();
}

bool SyncSend::end(SyncEnd how, const QString& error) {
    running_ = false;
    outcome_.end = how;
    outcome_.errorText = error;
    if (how != SyncEnd::Completed) {
        writer_.cancel();
        outcome_.added = 0; // nothing reached the target
    }
    return false;
}

bool SyncSend::start() {
    if (!sealsSyncFiles(password_))
        return end(SyncEnd::NoFilePassword);
    total_ = std::max<qint64>(passwords_.records(), 0);
    Record& r = passwords_.record();
    r.clear();
    r.setText(userField(), userName_);
    passwords_.setPosition(passwords_.def().keyIndex("P_:KEYSERVICE"));
    keyRequest_ = {password_, writer_.prepare()};
    running_ = true;
    return true;
}

// The file is opened only now: a run cancelled while its key was derived
// touches nothing.
bool SyncSend::useKey(const std::optional<SyncKey>& key) {
    if (!running_)
        return false;
    if (!key)
        return end(SyncEnd::NoMemory);
    if (!writer_.begin(*key))
        return end(SyncEnd::AddFailed, writer_.errorText());
    return true;
}

// Reads the next entry of the user into the sync record; `more` false at the end.
bool SyncSend::nextEntry(bool& more) {
    const int rc = passwords_.next();
    more = rc == store_error::NoError && passwords_.record().sameText(userField(), userName_);
    if (rc != store_error::NoError && rc != store_error::EndOfFile)
        return end(SyncEnd::ReadFailed, DataFileOpener::errorDescription(passwords_));
    if (more) {
        ++visited_;
        Record::copyMatchingFields(entry_, passwords_.record());
        entry_.setText(syncUserField_, password_);
    }
    return true;
}

bool SyncSend::step(int limit) {
    if (!running_)
        return false;
    for (int i = 0; i < limit; ++i) {
        bool more = false;
        if (!nextEntry(more))
            return false;
        if (!more) {
            if (!writer_.commit())
                return end(SyncEnd::AddFailed, writer_.errorText());
            return end(SyncEnd::Completed);
        }
        if (!writer_.write(entry_))
            return end(SyncEnd::AddFailed, writer_.errorText());
        outcome_.added = int(writer_.count());
        if (afterEntry)
            afterEntry(writer_.count());
        if (!running_)
            return false; // cancelled meanwhile
    }
    return true;
}

void SyncSend::cancel() {
    if (running_)
        end(SyncEnd::Cancelled);
}

int SyncSend::percent() const {
    if (!running_ && outcome_.end == SyncEnd::Completed && visited_ > 0)
        return 100;
    return total_ > 0 ? int(std::min<qint64>(visited_ * 100 / total_, 100)) : 0;
}

} // namespace ql
