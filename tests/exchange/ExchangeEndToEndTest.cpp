// Drives the real main program on a private X display as a user would: export
// a user's entries through the File menu's "&Export", read the file, then
// bring it back for another user through "&Import" and look at what was stored.
// Screenshots of the windows go into the test's output folder.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/DesktopDriver.h"
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

void shot(const QString& name) {
    QDir().mkpath(QStringLiteral(SHOT_FOLDER));
    screenshot(QStringLiteral(SHOT_FOLDER) + "/" + name + ".png");
}

const QString kNotes = QStringLiteral("line one, with a comma\nline \"two\"");

// A data folder with two users needing no password and three entries of Alice.
void prepareData(const QString& folder) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setOwnerKey(buildOwnerKey());
    DataTable users(usersTable());
    ASSERT_EQ(users.create(), 0);
    ASSERT_EQ(users.open(), 0);
    for (const char* name : {"Alice", "Bob"}) {
        users.record().clear();
        users.record().setText("U_:NAME", QString::fromLatin1(name));
        users.record().setText("U_:PASSWORD", u"Not Required");
        users.record().setNumber("U_:LEVEL", 4000);
        ASSERT_EQ(users.add(), 0);
    }
    DataTable passwords(passwordsTable());
    ASSERT_EQ(passwords.create(), 0);
    ASSERT_EQ(passwords.open(), 0);
    const char* const services[] = {"bank", "mail, private", "forum"};
    for (int i = 0; i < 3; ++i) {
        Record& r = passwords.record();
        r.clear();
        r.setText("P_:USER", u"Alice");
        r.setText("P_:SERVICE", QString::fromLatin1(services[i]));
        r.setText("P_:NAME", QStringLiteral("alice%1").arg(i));
        r.setText("P_:PASSWORD", QStringLiteral("pa\"ss,%1").arg(i));
        r.setText("P_:NOTES", kNotes);
        r.setNumber("P_:LEVEL", 10000);
        r.setNumber("P_:EXPIRYDATE", 84000 + i);
        r.setNumber("P_:LASTCHANGETIME", 4'000'123 + i);
        ASSERT_EQ(passwords.add(), 0);
    }
    QDir::setCurrent(previous);
}

std::vector<Record> entriesOf(const QString& folder, const QString& user) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    DataTable passwords(passwordsTable());
    std::vector<Record> found;
    if (passwords.open() == 0) {
        passwords.record().setText("P_:USER", user);
        passwords.setPosition(passwordsTable().keyIndex("P_:KEYSERVICE"));
        while (passwords.next() == 0 && passwords.record().sameText(1, user))
            found.push_back(passwords.record());
    }
    QDir::setCurrent(previous);
    return found;
}

class RunningQuillock : public RunningProgram {
public:
    explicit RunningQuillock(const QString& dataFolder)
        : RunningProgram(QStringLiteral(QUILLOCK_BINARY), {"Data=" + dataFolder}) {}

    // Chooses a File menu item by its mnemonic and waits for the window it opens.
    QString fromFileMenu(const QString& mnemonic, const QString& title, const QStringList& thenKeys = {}) {
        const QString frame = waitForWindow(pid(), QStringLiteral("Quillock"));
        if (frame.isEmpty()) return {};
        return openFrom(pid(), frame, QStringList{"Escape", "alt+f", mnemonic} + thenKeys, title, 6000);
    }
    // Types a path into the file dialog that is up and accepts it.
    bool chooseFile(const QString& title, const QString& path) {
        const QString dialog = waitForWindow(pid(), title);
        if (dialog.isEmpty()) return false;
        activate(dialog);
        keys({"ctrl+a"});
        typeText(path);
        keys({"Return"});
        return waitUntilGone(pid(), title);
    }
    // Presses Return in the message box titled `title`.
    bool answer(const QString& title) {
        const QString box = waitForWindow(pid(), title);
        if (box.isEmpty()) return false;
        activate(box);
        keys({"Return"});
        return waitUntilGone(pid(), title);
    }
};

} // namespace

TEST(ExchangeEndToEnd, EntriesExportedThroughTheWindowComeBackForAnotherUserThroughTheImport) {
    int argc = 1;
    char name[] = "exchange_e2e";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir data, files;
    ASSERT_TRUE(data.isValid() && files.isValid());
    prepareData(data.path());
    const QString csv = files.filePath("alice.csv");

    RunningQuillock quillock(data.path());
    // Export: Alice is the first user in the list.
    ASSERT_FALSE(quillock.fromFileMenu("e", "Select User").isEmpty()) << "Select User did not open";
    keys({"Return"});
    const QString exportWindow = waitForWindow(quillock.pid(), "Choose Fields for Export...");
    ASSERT_FALSE(exportWindow.isEmpty()) << "the export window did not open";
    activate(exportWindow);
    keys({"alt+h"}); // the header line
    shot("export-window");
    keys({"alt+o"});
    ASSERT_TRUE(quillock.chooseFile("Export Comma-Separated Value File", csv));
    shot("export-done");
    ASSERT_TRUE(quillock.answer("Done"));

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith("\"P_:Notes\",\"P_:MoreNotes\",\"P_:Service\",")) << written.constData();
    EXPECT_EQ(written.count("\r\n"), 4) << written.constData();
    EXPECT_TRUE(written.contains("\"pa\"\"ss,1\"")) << written.constData();
    EXPECT_TRUE(written.contains("\"line one, with a comma\nline \"\"two\"\"\"")) << written.constData();
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    // Import into Bob, the second user in the list.
    ASSERT_FALSE(quillock.fromFileMenu("i", "Select User").isEmpty()) << "Select User did not open";
    keys({"Down", "Return"});
    ASSERT_TRUE(quillock.chooseFile("Import Comma-Separated Value File", csv));
    const QString importWindow = waitForWindow(quillock.pid(), "Assign fields for Import...");
    ASSERT_FALSE(importWindow.isEmpty()) << "the import window did not open";
    activate(importWindow);
    keys({"alt+u"});
    QThread::msleep(500);
    shot("import-window");
    keys({"alt+o"});
    QThread::msleep(1500);
    shot("import-after-ok");
    const QString summary = waitForWindow(quillock.pid(), "Import Completed");
    ASSERT_FALSE(summary.isEmpty()) << "no summary after the import";
    shot("import-summary");
    ASSERT_TRUE(quillock.answer("Import Completed"));

    const std::vector<Record> alice = entriesOf(data.path(), "Alice");
    const std::vector<Record> bob = entriesOf(data.path(), "Bob");
    ASSERT_EQ(bob.size(), 3u);
    for (size_t i = 0; i < bob.size(); ++i) {
        for (const char* field : {"P_:SERVICE", "P_:NAME", "P_:PASSWORD", "P_:NOTES", "P_:EXPIRYDATE",
                                  "P_:LASTCHANGETIME", "P_:LEVEL"})
            EXPECT_EQ(bob[i].text(field).toStdString(), alice[i].text(field).toStdString()) << field;
    }
}
