#include "store/UserRelations.h"
#include "framework/MessageIds.h"
#include "store/Layouts.h"

namespace ql {

namespace se = store_error;

UserRelations::UserRelations(FileManager& users, FileManager& passwords)
    : users_(users), passwords_(passwords) {}

std::vector<qint64> UserRelations::entriesOf(DataTable& passwords, const QString& userName) {
    std::vector<qint64> rows;
    const int key = passwords.def().keyIndex(QLatin1String("P_:KEYSERVICE"));
    Record& rec = passwords.record();
    rec.clear();
    rec.setText("P_:USER", userName);
    if (passwords.setPosition(key) != se::NoError) return rows;
    while (passwords.next() == se::NoError && rec.sameText(rec.fieldIndex("P_:USER"), userName))
        rows.push_back(passwords.recordNumber());
    return rows;
}

// The entries are opened on the users' connection, so that their writes
// belong to the batch the users table streams. Opening them once through
// their manager first creates a missing table and rebuilds damaged keys.
int UserRelations::openEntriesOn(DataTable& users, DataTable& passwords) {
    {
        DataTable check(passwordsTable());
        if (const int code = passwords_.open(check); code != se::NoError) return code;
    }
    if (passwords.openOn(users) != se::NoError)
        return passwords_.reportWriteError(passwords, msg::OpenFailed);
    if (users.stream() != se::NoError) return users_.reportWriteError(users, msg::PutFailed);
    return se::NoError;
}

int UserRelations::renameEntries(DataTable& passwords, const QString& oldName,
                                 const QString& newName) {
    for (qint64 row : entriesOf(passwords, oldName)) {
        if (passwords.getByRecordNumber(row) != se::NoError) return passwords.errorCode();
        passwords.record().setText("P_:USER", newName);
        if (passwords_.update(passwords) != se::NoError) return passwords.errorCode();
    }
    return se::NoError;
}

int UserRelations::deleteEntries(DataTable& passwords, const QString& userName) {
    for (qint64 row : entriesOf(passwords, userName)) {
        if (passwords.getByRecordNumber(row) != se::NoError) return passwords.errorCode();
        if (passwords_.remove(passwords) != se::NoError) return passwords.errorCode();
    }
    return se::NoError;
}

// Rolls the batch back and makes the user's record current again, keeping the
// buffer the caller filled.
int UserRelations::undo(DataTable& users, qint64 row, int code) {
    Record kept(usersTable());
    Record::copyMatchingFields(kept, users.record());
    users.cancelBatch();
    if (row != 0) users.getByRecordNumber(row);
    Record::copyMatchingFields(users.record(), kept);
    kept.wipe();
    return code;
}

int UserRelations::updateUser(DataTable& users, const QString& oldName) {
    const QString newName = users.record().text("U_:NAME");
    if (newName == oldName.trimmed()) return users_.update(users);
    const qint64 row = users.recordNumber();
    DataTable passwords(passwordsTable());
    if (const int code = openEntriesOn(users, passwords); code != se::NoError) return code;
    if (users_.update(users) != se::NoError) return undo(users, row, users.errorCode());
    if (const int code = renameEntries(passwords, oldName, newName); code != se::NoError)
        return undo(users, row, code);
    if (users.flush() != se::NoError)
        return undo(users, row, users_.reportWriteError(users, msg::PutFailed));
    users.getByRecordNumber(row);
    return se::NoError;
}

int UserRelations::deleteUser(DataTable& users) {
    const QString name = users.record().text("U_:NAME");
    const qint64 row = users.recordNumber();
    DataTable passwords(passwordsTable());
    if (const int code = openEntriesOn(users, passwords); code != se::NoError) return code;
    if (const int code = deleteEntries(passwords, name); code != se::NoError)
        return undo(users, row, code);
    if (users_.remove(users) != se::NoError) return undo(users, row, users.errorCode());
    if (users.flush() != se::NoError)
        return undo(users, row, users_.reportWriteError(users, msg::DeleteFailed));
    return se::NoError;
}

} // namespace ql
