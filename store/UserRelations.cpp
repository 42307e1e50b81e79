#include "store/UserRelations.h"
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

int UserRelations::openPasswords(DataTable& passwords) {
    return passwords_.open(passwords);
}

int UserRelations::renameEntries(const QString& oldName, const QString& newName) {
    DataTable passwords(passwordsTable());
    if (openPasswords(passwords) != se::NoError) return passwords.errorCode();
    const std::vector<qint64> rows = entriesOf(passwords, oldName);
    passwords.stream();
    for (qint64 row : rows) {
        if (passwords.getByRecordNumber(row) != se::NoError) break;
        passwords.record().setText("P_:USER", newName);
        if (passwords.put() != se::NoError) break;
    }
    if (passwords.errorCode() != se::NoError) {
        const int code = passwords.errorCode();
        passwords_.captureError(passwords);
        passwords.cancelBatch();
        return code;
    }
    return passwords.flush();
}

int UserRelations::deleteEntries(const QString& userName) {
    DataTable passwords(passwordsTable());
    if (openPasswords(passwords) != se::NoError) return passwords.errorCode();
    const std::vector<qint64> rows = entriesOf(passwords, userName);
    passwords.stream();
    for (qint64 row : rows) {
        if (passwords.getByRecordNumber(row) != se::NoError || passwords.remove() != se::NoError) {
            const int code = passwords.errorCode();
            passwords_.captureError(passwords);
            passwords.cancelBatch();
            return code;
        }
    }
    return passwords.flush();
}

int UserRelations::updateUser(DataTable& users, const QString& oldName) {
    const QString newName = users.record().text("U_:NAME");
    if (users_.update(users) != se::NoError) return users.errorCode();
    if (newName == oldName.trimmed()) return se::NoError;
    const int code = renameEntries(oldName, newName);
    if (code == se::NoError) return code;
    // The entries could not follow: give the user his old name back.
    users.record().setText("U_:NAME", oldName);
    users.put();
    return code;
}

int UserRelations::deleteUser(DataTable& users) {
    const QString name = users.record().text("U_:NAME");
    const int code = deleteEntries(name);
    if (code != se::NoError) return code;
    return users_.remove(users);
}

} // namespace ql
