#include "signin/UpdateUsers.h"
#include "entries/EntryForm.h"
#include "framework/Pictures.h"
#include "signin/UserSelection.h"

namespace ql {

namespace se = store_error;

UpdateUsers::UpdateUsers(const UserFormServices& services, int request, DataTable& users)
    : services_(services), request_(request), users_(users) {}

void UpdateUsers::open() {
    if (request_ == form_request::Insert) services_.users.primeRecord(user());
    nameAtOpen_ = user().text("U_:NAME");
}

QString UpdateUsers::windowTitle() const {
    switch (request_) {
    case form_request::Insert: return QStringLiteral("Adding User");
    case form_request::Change: return QStringLiteral("Changing User");
    default: return QStringLiteral("Update User Information");
    }
}

QString UpdateUsers::lastChangedLine() const {
    const int32_t date = int32_t(user().number("U_:LASTDATECHANGED"));
    if (date == 0) return {};
    return QStringLiteral("Last changed ") + formatDate(date, QStringLiteral("d4")) + u' ' +
           formatTime(int32_t(user().number("U_:LASTTIMECHANGED")), QStringLiteral("t3"));
}

bool UpdateUsers::refuse(const QString& caption, const QString& text, Focus where, Focus& focus) {
    services_.prompter.ask({caption, text, int(PromptButton::Ok), PromptButton::Ok,
                            PromptIcon::Exclamation});
    focus = where;
    return false;
}

bool UpdateUsers::ok(Focus& focus) {
    focus = Focus::None;
    if (request_ != form_request::Delete) {
        Record& u = user();
        if (u.text("U_:PASSWORD").isEmpty() && u.text("U_:CONFIRMPASSWORD").isEmpty()) {
            u.setText("U_:PASSWORD", kNotRequired);
            u.setText("U_:CONFIRMPASSWORD", kNotRequired);
        }
        // A blank name stands for "no user" wherever a user is chosen.
        if (u.text("U_:NAME").trimmed().isEmpty())
            return refuse(QStringLiteral("Warning"),
                          QStringLiteral("Enter a name for the user: a blank name means no user."),
                          Focus::Name, focus);
        if (!u.sameText(u.fieldIndex("U_:PASSWORD"), u.text("U_:CONFIRMPASSWORD"), true))
            return refuse(QStringLiteral("Warning"), QStringLiteral("Passwords do not match."),
                          Focus::Password, focus);
        u.setNumber("U_:LASTDATECHANGED", services_.clock.today());
        u.setNumber("U_:LASTTIMECHANGED", services_.clock.now());
    }
    if (write() == se::NoError) return true;
    focus = request_ == form_request::Delete ? Focus::None : Focus::Name;
    return false;
}

// The managers show their standard message when a write fails.
int UpdateUsers::write() {
    switch (request_) {
    case form_request::Insert: return services_.users.insert(users_);
    case form_request::Change: return services_.relations.updateUser(users_, nameAtOpen_);
    default: return services_.relations.deleteUser(users_);
    }
}

} // namespace ql
