#include "signin/BrowseUsers.h"
#include "entries/EntryForm.h"
#include "store/Layouts.h"

namespace ql {

namespace se = store_error;

BrowseUsers::BrowseUsers(FileManager& users, Prompter& prompter)
    : users_(users), prompter_(prompter), table_(usersTable()) {}

bool BrowseUsers::open() {
    if (users_.open(table_) != se::NoError) return false;
    if (table_.records() == 0) {
        Record& rec = table_.record();
        rec.clear();
        rec.setText("U_:NAME", kDefaultUserName);
        rec.setText("U_:PASSWORD", kNotRequired);
        rec.setText("U_:CONFIRMPASSWORD", kNotRequired);
        users_.insert(table_);
    }
    reload();
    return true;
}

void BrowseUsers::reload() {
    rows_.clear();
    table_.setToStart(usersTable().keyIndex(QLatin1String("U_:KEYNAME")));
    while (table_.next() == se::NoError)
        rows_.push_back({table_.record().text("U_:NAME"), table_.recordNumber()});
}

bool BrowseUsers::prepareForm(int request, const UserRow& row, const PasswordPrompt& prompt) {
    if (request == form_request::Insert) return true;
    if (request == form_request::Delete && table_.records() == 1) {
        prompter_.ask({QStringLiteral("Cannot Delete"),
                       QStringLiteral("You must have at least one user."), int(PromptButton::Ok),
                       PromptButton::Ok, PromptIcon::Exclamation});
        return false;
    }
    if (table_.getByRecordNumber(row.recordNumber) != se::NoError) return false;
    // The typed password goes through a copy: the form's buffer stays as stored.
    Record user(usersTable());
    copyUser(user, table_.record());
    const bool confirmed = confirmPassword(user, prompt, prompter_) == kCompleted;
    user.wipe();
    return confirmed;
}

} // namespace ql
