#include "signin/UserSelection.h"
#include "store/Layouts.h"

namespace ql {

namespace se = store_error;

bool passwordNotRequired(const Record& user) {
    return user.sameText(user.fieldIndex("U_:PASSWORD"), kNotRequired, true);
}

void copyUser(Record& to, const Record& from) {
    if (&to == &from) return;
    to.clear();
    Record::copyMatchingFields(to, from);
}

int confirmPassword(Record& user, const PasswordPrompt& prompt, Prompter& prompter) {
    if (passwordNotRequired(user)) return kCompleted;
    user.setText("U_:CONFIRMPASSWORD", QString());
    const std::optional<QString> typed = prompt ? prompt() : std::nullopt;
    if (!typed) return kCancelled;
    user.setText("U_:CONFIRMPASSWORD", *typed);
    const QString password = user.text("U_:PASSWORD");
    const QString confirmation = user.text("U_:CONFIRMPASSWORD");
    // Stored passwords keep their trailing blanks, but they never count here:
    // those stored by earlier versions lost them.
    const int field = user.fieldIndex("U_:PASSWORD");
    if (user.sameText(field, confirmation, true)) return kCompleted;
    const bool caseOnly = user.sameText(field, confirmation);
    prompter.ask({QStringLiteral("Access Denied"),
                  caseOnly ? QStringLiteral("Invalid password.  Case does not match.")
                           : QStringLiteral("Invalid password"),
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    user.setText("U_:CONFIRMPASSWORD", password);
    return kCancelled;
}

UserSelection::UserSelection(FileManager& users, Prompter& prompter, ProgramKind kind)
    : users_(users), prompter_(prompter), kind_(kind), table_(usersTable()), current_(usersTable()) {}

void UserSelection::insertDefaultUser() {
    Record& rec = table_.record();
    rec.clear();
    rec.setText("U_:NAME", kDefaultUserName);
    rec.setText("U_:PASSWORD", kNotRequired);
    rec.setText("U_:CONFIRMPASSWORD", kNotRequired);
    users_.insert(table_);
}

void UserSelection::loadRows() {
    rows_.clear();
    table_.setToStart(usersTable().keyIndex(QLatin1String("U_:KEYNAME")));
    while (table_.next() == se::NoError)
        rows_.push_back({table_.record().text("U_:NAME"), table_.recordNumber()});
}

bool UserSelection::open() {
    if (users_.open(table_) != se::NoError) return false;
    if (table_.records() == 0) insertDefaultUser();
    loadRows();
    return true;
}

void UserSelection::clearCurrentUser() {
    current_.clear();
    if (kind_ == ProgramKind::Monitor) current_.setText("U_:NAME", kNoUserSelected);
}

bool UserSelection::select(const UserRow& row, const PasswordPrompt& prompt) {
    if (table_.getByRecordNumber(row.recordNumber) != se::NoError) return false;
    copyUser(current_, table_.record());
    if (passwordNotRequired(current_)) return true;
    if (confirmPassword(current_, prompt, prompter_) == kCompleted) return true;
    current_.clear(); // stays open: the user may pick again or cancel
    return false;
}

void UserSelection::cancel() { clearCurrentUser(); }

int quickSelectUser(FileManager& users, int position, Record& user, const PasswordPrompt& prompt,
                    Prompter& prompter) {
    DataTable table(usersTable());
    user.clear();
    if (users.open(table) != se::NoError) return kCancelled;
    table.setStoredOrder();
    for (int n = 1; n <= position; ++n) {
        if (table.next() != se::NoError) return kCancelled;
    }
    copyUser(user, table.record());
    if (confirmPassword(user, prompt, prompter) == kCompleted) return kCompleted;
    user.clear();
    return kCancelled;
}

void monitorStartUser(FileManager& users, Record& user) {
    user.clear();
    user.setText("U_:NAME", kNoUserSelected);
    DataTable table(usersTable());
    if (users.open(table) != se::NoError || table.records() != 1) return;
    table.setStoredOrder();
    if (table.next() != se::NoError || !passwordNotRequired(table.record())) return;
    copyUser(user, table.record());
}

std::vector<QString> firstUserNames(FileManager& users, int count) {
    std::vector<QString> names(count);
    DataTable table(usersTable());
    if (users.open(table) != se::NoError) return names;
    table.setStoredOrder();
    for (int n = 0; n < count && table.next() == se::NoError; ++n)
        names[n] = table.record().text("U_:NAME");
    return names;
}

} // namespace ql
