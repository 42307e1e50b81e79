#include "store/OldTablesUpgrade.h"
#include "store/Layouts.h"

namespace ql {

namespace se = store_error;
using FieldMap = std::vector<std::pair<const char*, const char*>>;

const FieldMap& oldUserFieldMap() {
    static const FieldMap map{{"U_002:NAME", "U_:NAME"},
                              {"U_002:PASSWORD", "U_:PASSWORD"},
                              {"U_002:CONFIRMPASSWORD", "U_:CONFIRMPASSWORD"},
                              {"U_002:LASTDATECHANGED", "U_:LASTDATECHANGED"},
                              {"U_002:LASTTIMECHANGED", "U_:LASTTIMECHANGED"},
                              {"U_002:NOTES", "U_:NOTES"}};
    return map;
}

const FieldMap& oldEntryFieldMap() {
    static const FieldMap map{
        {"P_002:USER", "P_:USER"}, {"P_002:SERVICE", "P_:SERVICE"}, {"P_002:URL", "P_:URL"},
        {"P_002:NAME", "P_:NAME"}, {"P_002:PASSWORD", "P_:PASSWORD"},
        {"P_002:CONFIRMPASSWORD", "P_:CONFIRMPASSWORD"},
        {"P_002:LASTCHANGEDATE", "P_:LASTCHANGEDATE"},
        {"P_002:LASTCHANGETIME", "P_:LASTCHANGETIME"}, {"P_002:MONITOR", "P_:MONITOR"},
        {"P_002:SECONDSTOWAIT", "P_:SECONDSTOWAIT"},
        {"P_002:WINDOWTITLETOLOCATE", "P_:WINDOWTITLETOLOCATE"},
        {"P_002:DONOTREPEATSECONDS", "P_:DONOTREPEATSECONDS"}, {"P_002:PASTE", "P_:PASTE"},
        {"P_002:NOTES", "P_:NOTES"}, {"P_002:MORENOTES", "P_:MORENOTES"}};
    return map;
}

// One old table and where its rows go.
struct OldTablesUpgrade::Plan {
    const TableDef& oldDef;
    FileManager& target;
    const FieldMap& fields;
    const char* uniqueKey;   // of the current table: where a copy would clash
    QString listName;        // "Users" or "Passwords"
    QString fileName;        // "Previous Version Users File"
};

struct OldTablesUpgrade::Copy {
    std::vector<qint64> copiedRows; // old record numbers whose copy is in place
    bool committed = false;
};

OldTablesUpgrade::OldTablesUpgrade(RecordManagers& managers, Prompter& prompter,
                                   UpgradeProgress& progress)
    : managers_(managers), prompter_(prompter), progress_(progress) {}

void OldTablesUpgrade::run() {
    upgradeUsers();
    upgradePasswords();
    reportLeft();
}

void OldTablesUpgrade::upgradeUsers() {
    usersLeft_ = upgradeTable({oldUsersTable(), managers_.users, oldUserFieldMap(), "U_:KEYNAME",
                               QStringLiteral("Users"),
                               QStringLiteral("Previous Version Users File")});
}

void OldTablesUpgrade::upgradePasswords() {
    entriesLeft_ = upgradeTable({oldPasswordsTable(), managers_.passwords, oldEntryFieldMap(),
                                 "P_:KEYSERVICE", QStringLiteral("Passwords"),
                                 QStringLiteral("Previous Version Passwords File")});
}

namespace {

void mapRecord(const FieldMap& fields, Record& to, const Record& from) {
    to.clear();
    for (const auto& [oldName, newName] : fields)
        Record::copyField(to, to.fieldIndex(QLatin1String(newName)), from,
                          from.fieldIndex(QLatin1String(oldName)));
}

bool sameCopiedFields(const FieldMap& fields, const Record& a, const Record& b) {
    for (const auto& field : fields) {
        const int i = a.fieldIndex(QLatin1String(field.second));
        if (a.text(i) != b.text(i)) return false;
    }
    return true;
}

// The old table's own errors that mean "no previous version here".
bool silentOpenError(int code) {
    return code == se::NotFound || code == se::InvalidFile || code == se::BadDeclaration;
}

} // namespace

qint64 OldTablesUpgrade::upgradeTable(const Plan& plan) {
    progress_.begin();
    const qint64 left = copyTable(plan);
    progress_.end();
    return left;
}

qint64 OldTablesUpgrade::copyTable(const Plan& plan) {
    plan.target.setCreateWhenMissing(true);
    DataTable to(plan.target.def());
    if (plan.target.open(to) != se::NoError) return -1; // the manager has said why
    DataTable from(plan.oldDef);
    if (const int code = from.open(access_mode::ExclusiveReadWrite); code != se::NoError) {
        if (silentOpenError(code)) return 0;
        prompter_.ask({QStringLiteral("ERROR"), QStringLiteral("Error opening file\n") +
                                                    from.errorText() + u'\n' + plan.fileName});
        return -1;
    }
    const Copy copy = copyRows(plan, from, to);
    if (copy.committed && afterCopy) afterCopy();
    const qint64 left = copy.committed ? removeCopied(from, copy.copiedRows) : from.records();
    if (left == 0) from.removeFile();
    return left;
}

OldTablesUpgrade::Copy OldTablesUpgrade::copyRows(const Plan& plan, DataTable& from, DataTable& to) {
    Copy copy;
    const qint64 total = from.records();
    progress_.progress(0, total);
    if (to.stream() != se::NoError) return copy;
    Record mapped(plan.target.def());
    qint64 processed = 0;
    bool stop = false;
    from.setStoredOrder();
    while (!stop && from.next() == se::NoError) {
        mapRecord(plan.fields, mapped, from.record());
        if (insertRow(plan, to, mapped, stop)) copy.copiedRows.push_back(from.recordNumber());
        progress_.progress(++processed, total);
    }
    mapped.wipe();
    copy.committed = to.flush() == se::NoError;
    if (!copy.committed) {
        prompter_.ask({QStringLiteral("ERROR"), QStringLiteral("Error adding record\n") +
                                                    to.errorText() + u'\n' + plan.listName});
        copy.copiedRows.clear();
    }
    return copy;
}

// Inserts one mapped row; true when its copy is in the new table (inserted now
// or found there from a run that ended before the old rows were deleted).
bool OldTablesUpgrade::insertRow(const Plan& plan, DataTable& to, const Record& mapped, bool& stop) {
    Record::copyMatchingFields(to.record(), mapped);
    if (to.fetch(to.def().keyIndex(QLatin1String(plan.uniqueKey))) == se::NoError &&
        sameCopiedFields(plan.fields, to.record(), mapped))
        return true;
    to.record().clear();
    Record::copyMatchingFields(to.record(), mapped);
    if (to.add() == se::NoError) return true;
    QString reason = to.errorText();
    if (to.errorCode() == se::DuplicateKey && !to.duplicateKeyDescription().isEmpty())
        reason += QStringLiteral(": ") + to.duplicateKeyDescription();
    const PromptButton answer = prompter_.ask(
        {QStringLiteral("ERROR"),
         QStringLiteral("Error adding record\n") + reason + u'\n' + plan.listName,
         int(PromptButton::Yes) | int(PromptButton::No), PromptButton::Yes, PromptIcon::Exclamation});
    stop = answer != PromptButton::Yes;
    return false;
}

// Deletes the old rows whose copy committed, in one transaction; returns how
// many old rows are left (-1 when they could not be counted).
qint64 OldTablesUpgrade::removeCopied(DataTable& from, const std::vector<qint64>& rows) {
    if (!rows.empty() && from.stream() == se::NoError) {
        for (qint64 row : rows)
            if (from.getByRecordNumber(row) != se::NoError || from.remove() != se::NoError) break;
        if (from.errorCode() == se::NoError)
            from.flush();
        else
            from.cancelBatch();
    }
    return from.records();
}

void OldTablesUpgrade::reportLeft() {
    if (usersLeft_ <= 0 && entriesLeft_ <= 0) return;
    const qint64 users = std::max<qint64>(usersLeft_, 0);
    const qint64 entries = std::max<qint64>(entriesLeft_, 0);
    prompter_.ask({QStringLiteral("Upgrading Files"),
                   QStringLiteral("%1 users and %2 entries were not upgraded and remain in QLDATA.")
                       .arg(users)
                       .arg(entries),
                   int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
}

} // namespace ql
