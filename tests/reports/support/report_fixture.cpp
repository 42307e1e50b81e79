// Test tool: makes a user and numbered entries in a data folder, for tests
// that run the real program.
// Usage: ql_report_fixture FOLDER user NAME PASSWORD
//        ql_report_fixture FOLDER entries USER COUNT
// Entry i (from 1) has service "Service i", name "login i", password "Pw-i-secret"
// (i with three digits) and a note.
#include "framework/ErrorManager.h"
#include "platform/core/Prompter.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/RecordManagers.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace ql;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "ql_report_fixture: %s\n", what);
    return 1;
}

int addUser(RecordManagers& m, const QString& name, const QString& password) {
    DataTable users(usersTable());
    if (m.users.open(users) != 0) return fail("cannot open Users");
    m.users.primeRecord(users.record());
    users.record().setText("U_:NAME", name);
    users.record().setText("U_:PASSWORD", password);
    users.record().setText("U_:CONFIRMPASSWORD", password);
    return m.users.insert(users) == 0 ? 0 : fail("cannot add the user");
}

int addEntries(RecordManagers& m, const QString& user, int count) {
    DataTable passwords(passwordsTable());
    if (m.passwords.open(passwords) != 0) return fail("cannot open Passwords");
    for (int i = 1; i <= count; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        Record& r = passwords.record();
        m.passwords.primeRecord(r);
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", "Service " + n);
        r.setText("P_:URL", "https://service" + n + ".example");
        r.setText("P_:NAME", "login " + n);
        r.setText("P_:PASSWORD", "Pw-" + n + "-secret");
        r.setText("P_:NOTES", "Notes of entry " + n);
        r.setNumber("P_:LASTCHANGEDATE", 80000 + i);
        if (m.passwords.insert(passwords) != 0) return fail("cannot add an entry");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.size() != 4 || !QDir::setCurrent(a[0])) return fail("usage: FOLDER user NAME PASSWORD | FOLDER entries USER COUNT");
    setOwnerKey(buildOwnerKey());
    ScriptedPrompter prompter;
    ErrorManager errors(prompter, [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::exit(1);
    });
    RecordManagers managers(errors, ProgramKind::Main);
    if (a[1] == "user") return addUser(managers, a[2], a[3]);
    if (a[1] == "entries") return addEntries(managers, a[2], a[3].toInt());
    return fail("unknown command");
}
