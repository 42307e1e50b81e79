// Drives the real monitor program on a private X display with a real tray
// host (trayer): the start into the tray, the window coming back on a double
// click, the menus, its list and Send into another program, the main program
// working on the same folder at the same time, and the end of the program
// with its settings written.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

const QString kMonitorTitle = QStringLiteral("Quillock Monitor");
const QString kUser = QStringLiteral("Default User");
const QString kReceiverTitle = QStringLiteral("Sign In - Receiver");

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "monitorapp_e2e_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Writes records into a data folder's tables the way the programs read them.
void addRecords(const QString& folder, const TableDef& def,
                const std::vector<std::function<void(Record&)>>& records) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setOwnerKey(buildOwnerKey());
    {
        DataTable table(def);
        ASSERT_EQ(table.open(), store_error::NoError) << def.label.toStdString();
        for (const auto& fill : records) {
            table.record().clear();
            fill(table.record());
            ASSERT_EQ(table.add(), store_error::NoError);
        }
    }
    QDir::setCurrent(previous);
}

// A data folder where the main program has run once, with one user who needs
// no password.
void prepareFolder(const QString& folder) {
    {
        RunningProgram quillock(QStringLiteral(QUILLOCK_BINARY), {"Data=" + folder});
        ASSERT_FALSE(mainFrame(quillock.pid()).isEmpty());
    }
    addRecords(folder, usersTable(), {[](Record& r) {
                   r.setText("U_:NAME", kUser);
                   r.setText("U_:PASSWORD", u"Not Required");
               }});
}

using Fill = std::function<void(Record&)>;
Fill entry(const QString& service, const QString& name, const Fill& more = {}) {
    return [=](Record& r) {
        r.setText("P_:USER", kUser);
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", name);
        r.setText("P_:PASSWORD", "pw " + name);
        r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
        if (more) more(r);
    };
}

// The user's entries: the first in the list goes to the receiver's window,
// one is watched for a window that never opens, one has expired.
void addEntries(const QString& folder) {
    addRecords(folder, passwordsTable(),
               {entry("Bank", "b.user"),
                entry("Acme Sign In", "amy.acme",
                      [](Record& r) { r.setText("P_:WINDOWTITLETOLOCATE", kReceiverTitle); }),
                entry("Library", "lib.user",
                      [](Record& r) {
                          r.setNumber("P_:MONITOR", 1);
                          r.setText("P_:WINDOWTITLETOLOCATE", u"Never Opens");
                      }),
                entry("Zoo", "zoo.user", [](Record& r) { r.setNumber("P_:EXPIRYDATE", 40000); })});
}

// The windows a program shows that are not among `expected`: messages it had
// to give, such as a locked table.
QStringList unexpectedWindows(qint64 pid, const QStringList& expected) {
    QStringList out;
    for (const QString& window : visibleWindows(pid)) {
        const QString title = xdotool({"getwindowname", window});
        if (!expected.contains(title)) out << title;
    }
    return out;
}

// The tray host; its icons are embedded in windows of its own.
class Trayer {
public:
    Trayer()
        : process_("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                              "--height", "24"}) {
        QElapsedTimer clock;
        clock.start();
        while (xdotool({"search", "--pid", QString::number(process_.pid())}).isEmpty() &&
               clock.elapsed() < 10000)
            QThread::msleep(100);
    }
    QStringList windows() const {
        return xdotool({"search", "--pid", QString::number(process_.pid())}).split('\n');
    }

private:
    RunningProgram process_;
};

// The monitor's icon once a tray host holds it: a visible window of the
// program inside one of the host's windows.
QString waitForTrayIcon(qint64 pid, const Trayer& trayer, int waitMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList host = trayer.windows();
        for (const QString& window : visibleWindows(pid))
            for (const QString& parent : ancestors(window))
                if (host.contains(parent)) return window;
        QThread::msleep(100);
    } while (clock.elapsed() < waitMs);
    return {};
}

class MonitorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(data_.isValid());
        prepareFolder(data_.path());
    }
    QString iniText() const {
        QFile ini(QDir(data_.path()).filePath("QLMON.INI"));
        return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
    }
    RunningProgram* startMonitor() {
        monitor_ = std::make_unique<RunningProgram>(QStringLiteral(QLMON_BINARY),
                                                    QStringList{"Data=" + data_.path()});
        return monitor_.get();
    }

    QTemporaryDir data_;
    std::unique_ptr<RunningProgram> monitor_;
};

} // namespace

TEST_F(MonitorEndToEnd, StartsIntoTheTrayComesBackOnADoubleClickAndExitsFromTheTrayMenu) {
    Trayer trayer;
    RunningProgram& qlmon = *startMonitor();
    const QString icon = waitForTrayIcon(qlmon.pid(), trayer);
    ASSERT_FALSE(icon.isEmpty()) << "the icon was not embedded in the tray";
    EXPECT_EQ(visibleWindows(qlmon.pid()), QStringList{icon}) << "no window but the icon is mapped";
    screenshot("monitor-in-tray.png");

    clickAt(windowGeometry(icon), 1, 2);
    const QString window = waitForWindow(qlmon.pid(), kMonitorTitle);
    ASSERT_FALSE(window.isEmpty()) << "a double click did not bring the window back";
    EXPECT_TRUE(waitForTrayIcon(qlmon.pid(), trayer, 0).isEmpty()) << "a shown window has no icon";
    screenshot("monitor-restored.png");

    // Minimized, the window goes back into the tray; the tray menu ends the program.
    xdotool({"windowminimize", window});
    const QString again = waitForTrayIcon(qlmon.pid(), trayer);
    ASSERT_FALSE(again.isEmpty()) << "minimizing did not put the icon back";
    EXPECT_TRUE(waitUntilGone(qlmon.pid(), kMonitorTitle)) << "the window stays hidden";
    clickAt(windowGeometry(again), 3);
    QThread::msleep(700);
    screenshot("monitor-tray-menu.png");
    keys({"e"});
    EXPECT_EQ(qlmon.waitForExit(10000), 0) << "&Exit Quillock Monitor ends it cleanly";
    EXPECT_TRUE(iniText().contains("[Main]")) << iniText().toStdString();
    EXPECT_TRUE(iniText().contains("?Browse:1=")) << "the list's column widths";
}

TEST_F(MonitorEndToEnd, ListsTheUsersEntriesAndSendsTheHighlightedOneIntoItsWindow) {
    addEntries(data_.path());
    ReceiverProcess receiver(QStringLiteral(QL_RECEIVER_PATH), kReceiverTitle);
    ASSERT_NE(receiver.window, 0u) << "the receiver did not come up";
    Trayer trayer;
    RunningProgram& qlmon = *startMonitor();
    const QString icon = waitForTrayIcon(qlmon.pid(), trayer);
    ASSERT_FALSE(icon.isEmpty());
    QThread::msleep(1600); // two ticks: the watched entry animates the icon
    screenshot("monitor-animating.png");
    clickAt(windowGeometry(icon), 1, 2);
    const QString window = waitForWindow(qlmon.pid(), kMonitorTitle);
    ASSERT_FALSE(window.isEmpty());
    activate(window);
    screenshot("monitor-list.png");

    // The first entry is highlighted; Send puts the window in the tray and
    // types the entry's text into its window a second later.
    keys({"alt+s"});
    EXPECT_TRUE(waitUntilGone(qlmon.pid(), kMonitorTitle)) << "Send sends the window to the tray";
    const QJsonObject sent = receiver.next(20000);
    EXPECT_EQ(sent["event"].toString(), "submit");
    EXPECT_EQ(sent["user"].toString(), "amy.acme");
    EXPECT_EQ(sent["password"].toString(), "pw amy.acme");
    EXPECT_EQ(visibleWindows(qlmon.pid()), QStringList{waitForTrayIcon(qlmon.pid(), trayer)})
        << "only the icon is left, no message";
    screenshot("monitor-sent.png");
}

TEST_F(MonitorEndToEnd, AnEntryAddedInTheMainProgramMeanwhileIsListedAfterRefresh) {
    addEntries(data_.path());
    ReceiverProcess receiver(QStringLiteral(QL_RECEIVER_PATH), kReceiverTitle);
    ASSERT_NE(receiver.window, 0u);
    Trayer trayer;
    RunningProgram& qlmon = *startMonitor();
    const QString icon = waitForTrayIcon(qlmon.pid(), trayer);
    ASSERT_FALSE(icon.isEmpty());

    // The main program, on the same folder, adds an entry that sorts first.
    RunningProgram quillock(QStringLiteral(QUILLOCK_BINARY), {"Data=" + data_.path()});
    const QString frame = waitForWindow(quillock.pid(), "Quillock");
    ASSERT_FALSE(frame.isEmpty());
    const QString listTitle = "Passwords - " + kUser;
    QString list;
    for (int attempt = 0; attempt < 3 && list.isEmpty(); ++attempt) {
        activate(frame);
        keys({"Escape", "alt+f", "w"});
        list = waitForWindow(quillock.pid(), listTitle, 5000);
    }
    ASSERT_FALSE(list.isEmpty()) << "the main program's list did not open";
    activate(list);
    keys({"alt+a"});
    const QString form = waitForWindow(quillock.pid(), "Add Password Information");
    ASSERT_FALSE(form.isEmpty());
    activate(form);
    typeText("Aardvark Mail");
    keys({"Tab", "Tab"});
    typeText("aard");
    keys({"Tab"});
    typeText("new pass");
    keys({"Tab"});
    typeText("new pass");
    keys({"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "alt+l"});
    typeText(kReceiverTitle);
    keys({"Tab", "alt+o"});
    EXPECT_TRUE(waitUntilGone(quillock.pid(), "Add Password Information"));

    // "&Refresh" from the tray menu reads it; the window shows it first.
    clickAt(windowGeometry(icon), 3);
    QThread::msleep(700);
    keys({"r"});
    QThread::msleep(500);
    clickAt(windowGeometry(icon), 1, 2);
    const QString window = waitForWindow(qlmon.pid(), kMonitorTitle);
    ASSERT_FALSE(window.isEmpty());
    activate(window);
    screenshot("monitor-beside-main-program.png");
    EXPECT_EQ(unexpectedWindows(qlmon.pid(), {kMonitorTitle}), QStringList());
    EXPECT_EQ(unexpectedWindows(quillock.pid(), {"Quillock", listTitle}), QStringList());
    keys({"alt+s"});
    const QJsonObject sent = receiver.next(20000);
    EXPECT_EQ(sent["user"].toString(), "aard");
    EXPECT_EQ(sent["password"].toString(), "new pass");
}

TEST_F(MonitorEndToEnd, WithoutATrayTheWindowStaysOnTheScreenUntilATrayAppears) {
    RunningProgram& qlmon = *startMonitor();
    const QString window = waitForWindow(qlmon.pid(), kMonitorTitle);
    ASSERT_FALSE(window.isEmpty()) << "with nowhere to go the window must stay reachable";
    screenshot("monitor-without-tray.png");

    Trayer trayer; // the next minimize tries the tray again
    xdotool({"windowminimize", window});
    EXPECT_FALSE(waitForTrayIcon(qlmon.pid(), trayer).isEmpty());
    EXPECT_TRUE(waitUntilGone(qlmon.pid(), kMonitorTitle));

    // The end of the session (a terminate request) closes it as Exit does.
    qlmon.terminate();
    EXPECT_EQ(qlmon.waitForExit(10000), 0);
    EXPECT_TRUE(iniText().contains("[Main]"));
}

TEST(MonitorEndToEndPrecondition, AFolderWhereTheMainProgramNeverRanGetsTheMessageAndNoWindow) {
    app();
    QTemporaryDir empty;
    RunningProgram qlmon(QStringLiteral(QLMON_BINARY), {"Data=" + empty.path()});
    const QString message = waitForWindow(qlmon.pid(), kMonitorTitle);
    ASSERT_FALSE(message.isEmpty()) << "no message";
    screenshot("monitor-precondition.png");
    activate(message);
    keys({"Return"});
    EXPECT_EQ(qlmon.waitForExit(10000), 1);
    EXPECT_FALSE(QFile::exists(QDir(empty.path()).filePath("QLMON.INI")));
}
