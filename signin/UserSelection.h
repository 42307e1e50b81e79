#pragma once
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"
#include "store/FileManager.h"
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace ql {

// Responses of the selection procedures.
inline constexpr int kCompleted = 1;
inline constexpr int kCancelled = 2;

inline const QString kNotRequired = QStringLiteral("Not Required");
inline const QString kDefaultUserName = QStringLiteral("Default User");
inline const QString kNoUserSelected = QStringLiteral("No User Selected");

// True when the user in the buffer needs no password ("Not Required", exact case).
bool passwordNotRequired(const Record& user);

// Copies a user's values between Users buffers. Assigning a Record would take
// over the source's layout pointer, which dies with the DataTable it came from.
void copyUser(Record& to, const Record& from);

// Asks for the password: the typed text, or nullopt when the prompt was cancelled.
using PasswordPrompt = std::function<std::optional<QString>()>;

// Confirms the password of the user in `user` (a Users buffer): 1 when confirmed
// or not required, 2 when cancelled or wrong ("Access Denied" shown). The typed
// text goes through U_:CONFIRMPASSWORD.
int confirmPassword(Record& user, const PasswordPrompt& prompt, Prompter& prompter);

// One row of the user list.
struct UserRow {
    QString name;
    qint64 recordNumber = 0;
};

// The logic of "Select User": the list of users, the default user on a first
// run, and what "&Select" and "Cancel" do to the window's current user.
class UserSelection {
public:
    UserSelection(FileManager& users, Prompter& prompter, ProgramKind kind);

    // Opens Users (inserting "Default User" into an empty table) and lists the
    // users in name order. False when the table could not be opened.
    bool open();
    const std::vector<UserRow>& rows() const { return rows_; }
    // Exactly one user: the window presses "&Select" at once.
    bool selectsAtOnce() const { return rows_.size() == 1; }

    // "&Select" on a row: true when the window closes with the user chosen;
    // false when it stays open (wrong or cancelled password).
    bool select(const UserRow& row, const PasswordPrompt& prompt);
    // "Cancel" or closing the window.
    void cancel();

    // The window's current user: blank after no selection ("No User Selected"
    // in the monitor program).
    Record& currentUser() { return current_; }
    DataTable& table() { return table_; }

private:
    void insertDefaultUser();
    void loadRows();
    void clearCurrentUser();

    FileManager& users_;
    Prompter& prompter_;
    ProgramKind kind_;
    DataTable table_;
    Record current_;
    std::vector<UserRow> rows_;
};

// Picks the n-th user (1-3) in stored order for the frame's quick-user buttons.
// Returns 1 with `user` loaded, or 2 with `user` cleared (too few users, or the
// password was not confirmed).
int quickSelectUser(FileManager& users, int position, Record& user, const PasswordPrompt& prompt,
                    Prompter& prompter);

// The monitor program's user at start-up: the only user when there is exactly
// one and it needs no password, else "No User Selected".
void monitorStartUser(FileManager& users, Record& user);

// The first `count` user names in stored order (missing ones empty).
std::vector<QString> firstUserNames(FileManager& users, int count);

} // namespace ql
