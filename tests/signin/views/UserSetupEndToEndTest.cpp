// Drives the real main program on a private X display with real key presses:
// a user with a password is added through User Setup, then chosen in "Select
// User" with his password, his password list opens, and an entry added from
// it is stored under his name. Screenshots of the windows go into the test's output folder.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

class RunningQuillock : public RunningProgram {
public:
    explicit RunningQuillock(const QString& dataFolder)
        : RunningProgram(QStringLiteral(QUILLOCK_BINARY), {"Data=" + dataFolder}) {}

    // A menu command of the frame by its mnemonics; the window it opens.
    QString fromFrame(const QStringList& menuKeys, const QString& opens) {
        const QString frame = mainFrame(pid());
        if (frame.isEmpty()) return {};
        return openFrom(pid(), frame, QStringList{"Escape"} + menuKeys, opens);
    }

    bool close() { return closeWindow(QStringLiteral("Quillock")); }
};

// Every record of `def`, read from the encrypted table as the programs read it.
std::vector<Record> stored(const QString& dataFolder, const TableDef& def) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dataFolder);
    setOwnerKey(buildOwnerKey());
    std::vector<Record> records;
    {
        DataTable table(def);
        if (table.open(access_mode::SharedReadOnly) == store_error::NoError) {
            table.setStoredOrder();
            while (table.next() == store_error::NoError) records.push_back(table.record());
        }
    }
    QDir::setCurrent(previous);
    return records;
}

// Adds an entry for `service` from the open password list `list`.
void addEntry(RunningQuillock& quillock, const QString& list, const QString& service) {
    const QString entry = openFrom(quillock.pid(), list, {"alt+a"},
                                   QStringLiteral("Add Password Information"));
    ASSERT_FALSE(entry.isEmpty()) << "the entry form did not open from the list";
    typeText(service);
    keys({"Tab", "Tab"});
    typeText("joe.public");
    keys({"alt+o"});
    EXPECT_TRUE(waitUntilGone(quillock.pid(), "Add Password Information"));
}

} // namespace

TEST(UserSetupEndToEnd, AUserAddedWithAPasswordLogsInWorksOnHisOwnEntriesAndKeepsThemWhenRenamed) {
    int argc = 1;
    char name[] = "user_setup_e2e";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    RunningQuillock quillock(data.path());

    // File, User Setup: the list starts with the default user; Insert adds joe.
    const QString users = quillock.fromFrame({"alt+f", "u"}, QStringLiteral("Users"));
    ASSERT_FALSE(users.isEmpty()) << "User Setup did not open";
    keys({"alt+i"});
    const QString form = waitForWindow(quillock.pid(), QStringLiteral("Adding User"));
    ASSERT_FALSE(form.isEmpty()) << "the user form did not open";
    activate(form);
    typeText("joe");
    keys({"Tab"});
    typeText("Pa55 word");
    keys({"Tab"});
    typeText("Pa55 word");
    screenshot("user-setup-form.png");
    keys({"Return"});
    ASSERT_TRUE(waitUntilGone(quillock.pid(), "Adding User")) << "OK did not close the form";
    screenshot("user-setup-list.png");
    activate(users);
    keys({"alt+o"});
    ASSERT_TRUE(waitUntilGone(quillock.pid(), "Users")) << "Close did not close the list";

    // File, Passwords: joe is picked by typing his name and confirms his password.
    const QString select = quillock.fromFrame({"alt+f", "w"}, QStringLiteral("Select User"));
    ASSERT_FALSE(select.isEmpty()) << "Select User did not open";
    typeText("j");
    keys({"Return"});
    const QString check = waitForWindow(quillock.pid(), QStringLiteral("Security Check"));
    ASSERT_FALSE(check.isEmpty()) << "joe's password was not asked for";
    activate(check);
    typeText("Pa55 word");
    keys({"Return"});
    // His password list opens; "&Add" there opens the form for a new entry.
    const QString list = waitForWindow(quillock.pid(), QStringLiteral("Passwords - joe"));
    ASSERT_FALSE(list.isEmpty()) << "joe's password list did not open";
    screenshot("user-setup-logged-in.png");
    ASSERT_NO_FATAL_FAILURE(addEntry(quillock, list, "Bank"));
    screenshot("user-setup-list-of-joe.png");

    // User Setup again, with his list open: joe confirms his password and becomes joseph.
    const QString usersAgain = quillock.fromFrame({"alt+f", "u"}, QStringLiteral("Users"));
    ASSERT_FALSE(usersAgain.isEmpty()) << "User Setup did not open a second time";
    const QString confirm = openFrom(quillock.pid(), usersAgain, {"j", "alt+c"},
                                     QStringLiteral("Security Check"));
    ASSERT_FALSE(confirm.isEmpty()) << "changing joe did not ask for his password";
    typeText("Pa55 word");
    keys({"Return"});
    const QString change = waitForWindow(quillock.pid(), QStringLiteral("Changing User"));
    ASSERT_FALSE(change.isEmpty()) << "the form to change joe did not open";
    activate(change);
    keys({"ctrl+a"});
    typeText("joseph");
    keys({"Return"});
    ASSERT_TRUE(waitUntilGone(quillock.pid(), "Changing User")) << "OK did not close the form";
    const QString renamed = waitForWindow(quillock.pid(), QStringLiteral("Passwords - joseph"), 5000);
    ASSERT_FALSE(renamed.isEmpty()) << "the open list did not take joe's new name";
    activate(usersAgain);
    keys({"alt+o"});
    ASSERT_TRUE(waitUntilGone(quillock.pid(), "Users")) << "Close did not close the list";
    ASSERT_NO_FATAL_FAILURE(addEntry(quillock, renamed, "Mail"));
    screenshot("user-setup-list-of-joseph.png");
    EXPECT_TRUE(quillock.close()) << "the program did not end cleanly";

    const std::vector<Record> userRecords = stored(data.path(), usersTable());
    ASSERT_EQ(userRecords.size(), 2u);
    EXPECT_EQ(userRecords[1].text("U_:NAME"), "joseph");
    EXPECT_EQ(userRecords[1].text("U_:PASSWORD"), "Pa55 word");
    const std::vector<Record> entries = stored(data.path(), passwordsTable());
    ASSERT_EQ(entries.size(), 2u);
    for (const Record& entry : entries) EXPECT_EQ(entry.text("P_:USER"), "joseph");
    EXPECT_EQ(entries[0].text("P_:SERVICE"), "Bank");
    EXPECT_EQ(entries[1].text("P_:SERVICE"), "Mail");
    QFile file(QDir(data.path()).filePath("QL_DATA.qld"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("Pa55 word"));
}
