#pragma once
#include "platform/core/Prompter.h"
#include "store/RecordManagers.h"
#include <functional>
#include <utility>
#include <vector>

namespace ql {

// The window an upgrade shows while it copies one old table ("Upgrading
// Files", "Version 2.1", a bar and "n out of m Processed").
class UpgradeProgress {
public:
    virtual ~UpgradeProgress() = default;
    virtual void begin() = 0;
    virtual void progress(qint64 processed, qint64 total) = 0;
    virtual void end() = 0;
};

// Copies the users and entries of the previous version's tables (QLDATA,
// under OldOwnerKey) into the current ones, with the field mapping of the old
// layouts. Each old table is copied in one transaction; only once that has
// committed are the copied old rows deleted, and an old table left empty is
// dropped (the container file goes with the last table in it). A run cut
// short after the copy is finished by the next run: an old row whose copy is
// already there, field for field, is taken as copied and not inserted again.
class OldTablesUpgrade {
public:
    OldTablesUpgrade(RecordManagers& managers, Prompter& prompter, UpgradeProgress& progress);

    // Both tables, users first, then the count of rows left behind shown.
    void run();
    void upgradeUsers();
    void upgradePasswords();

    // Old rows still in QLDATA after the last run of each table (-1 when the
    // old table could not be opened, 0 when it is gone or was never there).
    qint64 usersLeft() const { return usersLeft_; }
    qint64 entriesLeft() const { return entriesLeft_; }

    // Called once a table's copy has committed, before any old row goes.
    std::function<void()> afterCopy;

private:
    struct Plan;
    struct Copy;
    qint64 upgradeTable(const Plan& plan);
    qint64 copyTable(const Plan& plan);
    Copy copyRows(const Plan& plan, DataTable& from, DataTable& to);
    bool insertRow(const Plan& plan, DataTable& to, const Record& mapped, bool& stop);
    qint64 removeCopied(DataTable& from, const std::vector<qint64>& rows);
    void reportLeft();

    RecordManagers& managers_;
    Prompter& prompter_;
    UpgradeProgress& progress_;
    qint64 usersLeft_ = 0;
    qint64 entriesLeft_ = 0;
};

// Field pairs (old, current) the upgrade copies.
const std::vector<std::pair<const char*, const char*>>& oldUserFieldMap();
const std::vector<std::pair<const char*, const char*>>& oldEntryFieldMap();

} // namespace ql
