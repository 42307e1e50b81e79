#pragma once
#include "store/FileManager.h"

namespace ql {

// Keeps a user's entries in step with the user: renaming a user moves every
// entry whose P_:USER names him to the new name; deleting a user deletes his
// entries. Both run as one batch on the entries, so a failure leaves them as
// they were.
class UserRelations {
public:
    UserRelations(FileManager& users, FileManager& passwords);

    // Writes the user buffer of `users` back (its current record) and renames
    // the entries of `oldName` when the name changed. 0 on success.
    int updateUser(DataTable& users, const QString& oldName);
    // Deletes the current user of `users` and all of his entries. 0 on success.
    int deleteUser(DataTable& users);

    // Record numbers of every entry whose P_:USER equals `userName` (case ignored).
    static std::vector<qint64> entriesOf(DataTable& passwords, const QString& userName);

private:
    int renameEntries(const QString& oldName, const QString& newName);
    int deleteEntries(const QString& userName);
    int openPasswords(DataTable& passwords);

    FileManager& users_;
    FileManager& passwords_;
};

} // namespace ql
