#pragma once
#include "platform/core/Clock.h"
#include "platform/core/Prompter.h"
#include "store/UserRelations.h"

namespace ql {

// What the user form works through.
struct UserFormServices {
    FileManager& users;
    UserRelations& relations;
    Prompter& prompter;
    Clock& clock;
};

// The user form ("Update User Information") without widgets. It edits the
// caller's Users buffer in place for one request: on a change or delete the
// table's current record is the user; on an insert the form primes a new one.
class UpdateUsers {
public:
    enum class Focus { None, Name, Password };

    UpdateUsers(const UserFormServices& services, int request, DataTable& users);

    // Primes a new user; remembers the name the user had when the form opened.
    void open();
    int request() const { return request_; }
    Record& user() { return users_.record(); }
    const Record& user() const { return users_.record(); }
    // "Adding User", "Changing User", else the form's own title.
    QString windowTitle() const;
    // "Last changed " + date + " " + time, or nothing before the first save.
    QString lastChangedLine() const;

    // "&OK": a blank pair of passwords becomes "Not Required"; a name is
    // required, the two passwords must match; then the stamps, and the user is
    // written, changed (his entries follow a new name) or deleted with his
    // entries. True when done and the form closes; else `focus` tells which
    // entry to select.
    bool ok(Focus& focus);

private:
    bool refuse(const QString& caption, const QString& text, Focus where, Focus& focus);
    int write();

    UserFormServices services_;
    int request_;
    DataTable& users_;
    QString nameAtOpen_;
};

} // namespace ql
