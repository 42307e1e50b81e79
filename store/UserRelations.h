#pragma once
#include "store/FileManager.h"

namespace ql {

// Keeps a user's entries in step with the user: renaming a user moves every
// entry whose P_:USER names him (letter case ignored, as the keys compare) to
// the new name; deleting a user deletes his entries. The user's record and his
// entries change in one transaction of their shared file, so a failure or a
// crash half-way leaves both as they were.
class UserRelations {
public:
    UserRelations(FileManager& users, FileManager& passwords);

    // Writes the user buffer of `users` (an open table; its current record is
    // the user) back and renames the entries of `oldName` when the name
    // changed, a change of letter case included. 0 on success; on failure
    // (after the standard message) the tables are as they were, the buffer
    // keeps what was to be written and the record stays current.
    int updateUser(DataTable& users, const QString& oldName);
    // Deletes the current user of `users` and all of his entries. 0 on success.
    int deleteUser(DataTable& users);

    // Record numbers of every entry whose P_:USER equals `userName` (case ignored).
    static std::vector<qint64> entriesOf(DataTable& passwords, const QString& userName);

private:
    int openEntriesOn(DataTable& users, DataTable& passwords);
    int renameEntries(DataTable& passwords, const QString& oldName, const QString& newName);
    int deleteEntries(DataTable& passwords, const QString& userName);
    int undo(DataTable& users, qint64 row, int code);

    FileManager& users_;
    FileManager& passwords_;
};

} // namespace ql
