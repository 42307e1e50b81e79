// Test tool: makes users and entries in a data folder through the record
// managers, and lists the entries, for tests that run the real programs.
// Usage: ql_sync_fixture FOLDER user NAME PASSWORD
//        ql_sync_fixture FOLDER entry USER SERVICE NAME PASSWORD DATE TIME
//        ql_sync_fixture FOLDER list       (user|service|name|password|date|time, sorted)
#include "framework/ErrorManager.h"
#include "platform/core/Prompter.h"
#include "platform/recordstore/StoreError.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/RecordManagers.h"
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

using namespace ql;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "ql_sync_fixture: %s\n", what);
    return 1;
}

int addUser(RecordManagers& m, const QStringList& a) {
    DataTable users(usersTable());
    if (m.users.open(users) != 0) return fail("cannot open Users");
    m.users.primeRecord(users.record());
    users.record().setText("U_:NAME", a[0]);
    users.record().setText("U_:PASSWORD", a[1]);
    users.record().setText("U_:CONFIRMPASSWORD", a[1]);
    return m.users.insert(users) == 0 ? 0 : fail("cannot add the user");
}

int addEntry(RecordManagers& m, const QStringList& a) {
    DataTable passwords(passwordsTable());
    if (m.passwords.open(passwords) != 0) return fail("cannot open Passwords");
    Record& r = passwords.record();
    m.passwords.primeRecord(r);
    const char* fields[] = {"P_:USER", "P_:SERVICE", "P_:NAME", "P_:PASSWORD", "P_:LASTCHANGEDATE",
                            "P_:LASTCHANGETIME"};
    for (int i = 0; i < 6; ++i) r.setText(QLatin1String(fields[i]), a[i]);
    return m.passwords.insert(passwords) == 0 ? 0 : fail("cannot add the entry");
}

int list(RecordManagers& m) {
    DataTable passwords(passwordsTable());
    if (m.passwords.open(passwords) != 0) return fail("cannot open Passwords");
    QStringList lines;
    passwords.setStoredOrder();
    while (passwords.next() == store_error::NoError) {
        const Record& r = passwords.record();
        lines << QStringList{r.text("P_:USER"), r.text("P_:SERVICE"), r.text("P_:NAME"), r.text("P_:PASSWORD"),
                             r.text("P_:LASTCHANGEDATE"), r.text("P_:LASTCHANGETIME")}
                     .join(u'|');
    }
    lines.sort();
    for (const QString& line : lines) std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList a = app.arguments().mid(1);
    if (a.size() < 2 || !QDir::setCurrent(a[0])) return fail("usage: FOLDER user|entry|list ...");
    const QString what = a[1];
    a = a.mid(2);
    setOwnerKey(buildOwnerKey());
    ScriptedPrompter prompter;
    ErrorManager errors(prompter, [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); std::exit(1); });
    RecordManagers managers(errors, ProgramKind::Main);
    if (what == "user" && a.size() == 2) return addUser(managers, a);
    if (what == "entry" && a.size() == 6) return addEntry(managers, a);
    if (what == "list") return list(managers);
    return fail("usage: FOLDER user|entry|list ...");
}
