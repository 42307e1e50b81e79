#pragma once
#include "monitor/WatchedEntrySource.h"

namespace ql {

class DataTable;
class Record;

// Monitored entries read from the Passwords table by its monitor key (user,
// monitor flag, service), starting at (user, 1) and going on while both match.
// An imported entry whose watched flag the user has not confirmed is left out.
class StoreWatchedEntries : public WatchedEntrySource {
public:
    // `passwords` must be open. With `keepPosition` (the monitor program, whose
    // window lists the same table) the current record and position are put
    // back after each read.
    StoreWatchedEntries(DataTable& passwords, bool keepPosition);

    std::vector<WatchedEntry> monitoredEntries(const QString& user) override;

    // The entry in a Passwords record buffer, its send text with field tokens
    // replaced; also what an explicit send request queues.
    static WatchedEntry entryFrom(const Record& passwords);

private:
    DataTable& table_;
    bool keepPosition_;
};

} // namespace ql
