// Drives the real main program on a private X display with real key presses:
// add an entry through the entry form while a login window of another program
// is open, restart the program, and find the entry again, both as the program
// sees it and in the encrypted table.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/receiver/ReceiverProcess.h"
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

const QString kReceiverTitle = QStringLiteral("Login - https://mail.example.com/login Receiver");
const QString kListTitle = QStringLiteral("Passwords - Default User");

class RunningQuillock : public RunningProgram {
public:
    explicit RunningQuillock(const QString& dataFolder)
        : RunningProgram(QStringLiteral(QUILLOCK_BINARY), {"Data=" + dataFolder}) {}

    // "Pass&words" in the File menu, asked again when the keys went astray
    // while the focus was handed over. With one user who needs no password
    // the user is chosen at once and the password list opens; "&Add" there
    // opens the form for a new entry.
    QString openEntryForm() {
        const QString frame = mainFrame(pid());
        if (frame.isEmpty()) return {};
        QString list = waitForWindow(pid(), kListTitle, 0);
        if (list.isEmpty()) list = openFrom(pid(), frame, {"Escape", "alt+f", "w"}, kListTitle);
        if (list.isEmpty()) return {};
        return openFrom(pid(), list, {"alt+a"}, QStringLiteral("Add Password Information"));
    }

    // Closes the frame as a user would; true when the program ended by itself.
    bool close() { return closeWindow(QStringLiteral("Quillock")); }
};

// Every stored entry, read from the encrypted table as the programs read it.
std::vector<Record> storedEntries(const QString& dataFolder) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dataFolder);
    setOwnerKey(buildOwnerKey());
    std::vector<Record> entries;
    {
        DataTable table(passwordsTable());
        if (table.open(access_mode::SharedReadOnly) == store_error::NoError) {
            table.setStoredOrder();
            while (table.next() == store_error::NoError) entries.push_back(table.record());
        }
    }
    QDir::setCurrent(previous);
    return entries;
}

} // namespace

TEST(EntryFormEndToEnd, AnEntryAddedWithTheKeyboardIsStoredEncryptedAndFoundAfterARestart) {
    int argc = 1;
    char name[] = "entry_form_e2e";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    ReceiverProcess receiver(QStringLiteral(QL_RECEIVER_PATH), kReceiverTitle);
    ASSERT_NE(receiver.window, 0u) << "the receiver did not come up";
    {
        RunningQuillock quillock(data.path());
        ASSERT_FALSE(quillock.openEntryForm().isEmpty()) << "the entry form did not open";
        // Service, then Tab past the address taken from the receiver's title
        // (the Paste and Copy buttons are skipped by default), name, passwords.
        typeText("Mail");
        keys({"Tab", "Tab"});
        typeText("jdoe");
        keys({"Tab"});
        typeText("s3cret pass");
        keys({"Tab"});
        typeText("s3cret pass");
        // On "Settings for Send", the receiver's title completes from the list
        // of open windows after its first letters.
        keys({"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "alt+l"});
        typeText("Login - ");
        keys({"Tab"});
        screenshot("entry-form-e2e.png");
        keys({"alt+o"});
        EXPECT_TRUE(waitUntilGone(quillock.pid(), "Add Password Information"))
            << "OK did not close the form";
        EXPECT_TRUE(quillock.close()) << "the program did not end cleanly";
    }

    const std::vector<Record> entries = storedEntries(data.path());
    ASSERT_EQ(entries.size(), 1u);
    const Record& e = entries[0];
    EXPECT_EQ(e.text("P_:USER"), "Default User");
    EXPECT_EQ(e.text("P_:SERVICE"), "Mail");
    EXPECT_EQ(e.text("P_:URL"), "https://mail.example.com/login");
    EXPECT_EQ(e.text("P_:NAME"), "jdoe");
    EXPECT_EQ(e.text("P_:PASSWORD"), "s3cret pass");
    EXPECT_EQ(e.text("P_:WINDOWTITLETOLOCATE"), kReceiverTitle);
    EXPECT_EQ(e.text("P_:PASTE"), "[Name][Tab][Password][Enter]");
    QFile file(QDir(data.path()).filePath("QL_DATA.qld"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains("s3cret pass"));
    EXPECT_FALSE(bytes.contains("jdoe"));

    // After the restart the program knows the entry: the same service and
    // name are refused as a duplicate, and the name used last is offered.
    RunningQuillock again(data.path());
    ASSERT_FALSE(again.openEntryForm().isEmpty()) << "the entry form did not open again";
    typeText("mail");
    keys({"alt+o"});
    const QString refusal = waitForWindow(again.pid(), QStringLiteral("Error"), 10000);
    EXPECT_FALSE(refusal.isEmpty()) << "the duplicate was not refused";
    screenshot("entry-form-e2e-duplicate.png");
    if (!refusal.isEmpty()) {
        activate(refusal);
        keys({"Return"});
    }
    EXPECT_EQ(storedEntries(data.path()).size(), 1u);
}
