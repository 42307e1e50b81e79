#include "exchange/SyncReceive.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/Layouts.h"
#include <algorithm>

namespace ql {

using Status = SyncFileReader::Status;

namespace {
struct Fields {
    int user, date, time, monitor;
};
const Fields& entryFields() {
    static const Fields f{passwordsTable().fieldIndex("P_:USER"),
                          passwordsTable().fieldIndex("P_:LASTCHANGEDATE"),
                          passwordsTable().fieldIndex("P_:LASTCHANGETIME"),
                          passwordsTable().fieldIndex("P_:MONITOR")};
    return f;
}
} // namespace

SyncReceive::SyncReceive(DataTable& passwords, const Record& user, const QString& filePassword,
                         SyncFileReader& reader, const QString& fileName)
    : passwords_(passwords), userName_(user.text("U_:NAME")), password_(filePassword),
      reader_(reader), incoming_(syncFileTable()),
      write_([](DataTable& table, bool adding) { return adding ? table.add() : table.put(); }) {
    outcome_.file = fileName;
}

bool SyncReceive::end(SyncEnd how, QString error) {
    if (passwords_.inBatch()) {
        if (how == SyncEnd::Completed && passwords_.flush() != store_error::NoError) {
            how = SyncEnd::AddFailed;
            error = DataFileOpener::errorDescription(passwords_);
        }
        if (how != SyncEnd::Completed) passwords_.cancelBatch();
    }
    if (how != SyncEnd::Completed) {
        outcome_.undone = outcome_.added + outcome_.updated;
        outcome_.added = outcome_.updated = 0;
        outcome_.watchedChanged = false;
    }
    running_ = false;
    outcome_.end = how;
    outcome_.errorText = error;
    return false;
}

bool SyncReceive::start() {
    if (!sealsSyncFiles(password_))
        return end(SyncEnd::NoFilePassword);
    if (reader_.readHeader() != Status::Ok)
        return end(SyncEnd::BadFile);
    keyRequest_ = {password_, reader_.header()};
    running_ = true;
    return true;
}

bool SyncReceive::useKey(const std::optional<SyncKey>& key) {
    if (!running_)
        return false;
    if (!key)
        return end(SyncEnd::NoMemory);
    switch (reader_.unlock(*key)) {
    case Status::Ok: break;
    case Status::WrongPassword: return end(SyncEnd::PasswordMismatch);
    case Status::NoMemory: return end(SyncEnd::NoMemory);
    default: return end(SyncEnd::BadFile);
    }
    if (passwords_.stream() != store_error::NoError)
        return end(SyncEnd::AddFailed, DataFileOpener::errorDescription(passwords_));
    running_ = true;
    return true;
}

bool SyncReceive::step(int limit) {
    if (!running_)
        return false;
    for (int i = 0; i < limit; ++i) {
        switch (reader_.next(incoming_)) {
        case Status::Ok:
            if (!merge()) return false;
            break;
        case Status::End: return end(SyncEnd::Completed);
        default: return end(SyncEnd::BadFile);
        }
    }
    return true;
}

void SyncReceive::cancel() {
    if (running_)
        end(SyncEnd::Cancelled);
}

int SyncReceive::percent() const {
    const qint64 announced = reader_.entriesAnnounced();
    if (announced == 0)
        return running_ ? 0 : 100;
    return int(std::min<qint64>(qint64(reader_.entriesRead()) * 100 / announced, 100));
}

// The incoming entry in the table's buffer, owned by the receiving user.
void SyncReceive::fillIncoming() {
    Record& entry = passwords_.record();
    Record::copyMatchingFields(entry, incoming_);
    entry.setText(entryFields().user, userName_);
}

bool SyncReceive::merge() {
    if (!incoming_.sameText(incoming_.fieldIndex("SF_:USER"), password_, true))
        return end(SyncEnd::PasswordMismatch);
    passwords_.record().clear();
    fillIncoming();
    const int found = passwords_.fetch(passwords_.def().keyIndex("P_:KEYNAME"));
    if (found == store_error::RecordNotFound) {
        passwords_.record().clear();
        fillIncoming();
        if (!writeEntry(true)) return false;
        ++outcome_.added;
        noteWatched(false);
        return true;
    }
    if (found != store_error::NoError)
        return end(SyncEnd::ReadFailed, DataFileOpener::errorDescription(passwords_));
    if (!incomingIsNewer())
        return true;
    const bool wasWatched = passwords_.record().number(entryFields().monitor) != 0;
    fillIncoming(); // over the existing entry, which keeps its P_:ID
    if (!writeEntry(false)) return false;
    ++outcome_.updated;
    noteWatched(wasWatched);
    return true;
}

void SyncReceive::noteWatched(bool wasWatched) {
    if (wasWatched || passwords_.record().number(entryFields().monitor) != 0)
        outcome_.watchedChanged = true;
}

bool SyncReceive::incomingIsNewer() const {
    const Record& existing = passwords_.record();
    const qint64 date = existing.number(entryFields().date);
    const qint64 incomingDate = incoming_.number(incoming_.fieldIndex("SF_:LASTCHANGEDATE"));
    if (date != incomingDate)
        return incomingDate > date;
    return incoming_.number(incoming_.fieldIndex("SF_:LASTCHANGETIME")) >
           existing.number(entryFields().time);
}

bool SyncReceive::writeEntry(bool adding) {
    if (write_(passwords_, adding) == store_error::NoError)
        return true;
    return end(adding ? SyncEnd::AddFailed : SyncEnd::UpdateFailed,
               DataFileOpener::errorDescription(passwords_));
}

} // namespace ql
