#pragma once
#include "signin/UserSelection.h"

namespace ql {

// The user list ("Users") without widgets: every user in name order, the
// default user when the table is empty, and the checks made before the user
// form opens.
class BrowseUsers {
public:
    BrowseUsers(FileManager& users, Prompter& prompter);

    // Opens Users (adding "Default User" to an empty table) and lists the
    // users. False when the table could not be opened.
    bool open();
    void reload();
    const std::vector<UserRow>& rows() const { return rows_; }
    DataTable& table() { return table_; }

    // Before the form opens for `request` (form_request) on `row`: a delete of
    // the only user is refused ("Cannot Delete"); a change or delete of a user
    // with a password needs that password confirmed. On true the row's user is
    // the table's current record (on an insert nothing is read).
    bool prepareForm(int request, const UserRow& row, const PasswordPrompt& prompt);

private:
    FileManager& users_;
    Prompter& prompter_;
    DataTable table_;
    std::vector<UserRow> rows_;
};

} // namespace ql
