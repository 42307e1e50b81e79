// Drives the real monitor program on a private X display with a real tray
// host (trayer): the start into the tray, the window coming back on a double
// click, the menus, and the end of the program with its settings written.
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/monitorapp/support/DesktopDriver.h"
#include "tests/support/QtPrinters.h"
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;

namespace {

const QString kMonitorTitle = QStringLiteral("Quillock Monitor");

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
        ASSERT_FALSE(waitForWindow(quillock.pid(), "Quillock").isEmpty());
    }
    addRecords(folder, usersTable(), {[](Record& r) {
                   r.setText("U_:NAME", u"Default User");
                   r.setText("U_:PASSWORD", u"Not Required");
               }});
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
