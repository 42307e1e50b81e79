// Drives the real main program on a private X display with real key presses:
// a user with a password is added through User Setup, then chosen in "Select
// User" with his password, his password list opens, and an entry added from
// it is stored under his name. Screenshots of the windows go into the test's output folder.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
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

namespace {

QString xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The first visible window of `pid` titled exactly `title`, or "" after the wait.
QString waitForWindow(qint64 pid, const QString& title, int waitMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    do {
        const QString found = xdotool({"search", "--all", "--onlyvisible", "--pid",
                                       QString::number(pid), "--name", "^" + title + "$"});
        if (!found.isEmpty()) return found.section('\n', 0, 0);
        QThread::msleep(100);
    } while (clock.elapsed() < waitMs);
    return {};
}

bool waitUntilGone(qint64 pid, const QString& title, int waitMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!waitForWindow(pid, title, 0).isEmpty())
        if (clock.elapsed() > waitMs) return false;
    return true;
}

void activate(const QString& window) {
    xdotool({"windowactivate", "--sync", window});
    QThread::msleep(300);
}

void keys(const QStringList& names) {
    for (const QString& name : names) {
        xdotool({"key", "--clearmodifiers", name});
        QThread::msleep(80);
    }
}

void typeText(const QString& text) { xdotool({"type", "--delay", "40", text}); }

void screenshot(const QString& name) {
    QProcess::execute(QStringLiteral("import"), {"-window", "root", QDir::current().filePath(name)});
}

class RunningQuillock {
public:
    explicit RunningQuillock(const QString& dataFolder) {
        process_.setProgram(QStringLiteral(QUILLOCK_BINARY));
        process_.setArguments({"Data=" + dataFolder});
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start();
        process_.waitForStarted(10000);
    }
    ~RunningQuillock() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    qint64 pid() const { return process_.processId(); }

    // A menu command of the frame by its mnemonics, asked again when the keys
    // went astray while the focus was handed over; the window it opens.
    QString fromFrame(const QStringList& menuKeys, const QString& opens) {
        const QString frame = waitForWindow(pid(), QStringLiteral("Quillock"));
        if (frame.isEmpty()) return {};
        QString window;
        for (int attempt = 0; attempt < 3 && window.isEmpty(); ++attempt) {
            activate(frame);
            keys(QStringList{"Escape"} + menuKeys);
            window = waitForWindow(pid(), opens, 5000);
        }
        if (!window.isEmpty()) activate(window);
        return window;
    }

    bool close() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const QString frame = waitForWindow(pid(), QStringLiteral("Quillock"), 2000);
            if (!frame.isEmpty()) activate(frame);
            keys({"alt+F4"});
            if (process_.waitForFinished(3000)) return process_.exitCode() == 0;
        }
        return false;
    }

private:
    QProcess process_;
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

} // namespace

TEST(UserSetupEndToEnd, AUserAddedWithAPasswordLogsInAndWorksOnHisOwnEntries) {
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
    QString entry;
    for (int attempt = 0; attempt < 3 && entry.isEmpty(); ++attempt) {
        activate(list);
        keys({"alt+a"});
        entry = waitForWindow(quillock.pid(), QStringLiteral("Add Password Information"), 5000);
    }
    ASSERT_FALSE(entry.isEmpty()) << "the entry form did not open from joe's list";
    activate(entry);
    typeText("Bank");
    keys({"Tab", "Tab"});
    typeText("joe.public");
    keys({"alt+o"});
    EXPECT_TRUE(waitUntilGone(quillock.pid(), "Add Password Information"));
    screenshot("user-setup-list-of-joe.png");
    EXPECT_TRUE(quillock.close()) << "the program did not end cleanly";

    const std::vector<Record> userRecords = stored(data.path(), usersTable());
    ASSERT_EQ(userRecords.size(), 2u);
    EXPECT_EQ(userRecords[1].text("U_:NAME"), "joe");
    EXPECT_EQ(userRecords[1].text("U_:PASSWORD"), "Pa55 word");
    const std::vector<Record> entries = stored(data.path(), passwordsTable());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text("P_:USER"), "joe");
    EXPECT_EQ(entries[0].text("P_:SERVICE"), "Bank");
    QFile file(QDir(data.path()).filePath("QL_DATA.qld"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("Pa55 word"));
}
