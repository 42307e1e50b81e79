// End to end: the monitor watches a real desktop (Xvfb, a window manager and
// the accessibility bus), finds the receiver's login window by title and
// label, brings it forward and types the entry's text into it.
#include "keys/KeystrokeSender.h"
#include "monitor/WindowMonitor.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include "platform/x11windows/X11WindowSystem.h"
#include "tests/monitor/support/MonitorFakes.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <functional>
#include <memory>

using namespace ql;

namespace {

// One ql_receiver window and the lines it reports.
class Receiver {
public:
    explicit Receiver(const QString& title, bool userLabel = true) {
        QStringList args{"--title", title};
        if (!userLabel) args << "--no-user-label";
        proc_.start(QStringLiteral(QL_RECEIVER_PATH), args);
        QJsonObject ready = next(20000);
        EXPECT_EQ(ready["event"].toString(), "ready");
        window = WindowHandle(ready["window"].toInteger());
    }
    ~Receiver() {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    QJsonObject next(int timeoutMs = 10000) {
        while (!proc_.canReadLine())
            if (!proc_.waitForReadyRead(timeoutMs)) return {};
        return QJsonDocument::fromJson(proc_.readLine()).object();
    }
    bool hasLine() { return proc_.canReadLine() || proc_.waitForReadyRead(0); }
    QJsonObject snapshot() {
        ::kill(pid_t(proc_.processId()), SIGUSR1);
        return next();
    }
    WindowHandle window = 0;

private:
    QProcess proc_;
};

WatchedEntry loginEntry(int repeatSeconds) {
    WatchedEntry e;
    e.titlePattern = "Login*";
    e.contents = "User name";
    e.sendText = "jdoe[TAB]s3cret![ENTER]";
    e.doNotRepeatSeconds = repeatSeconds;
    e.user = "alice";
    return e;
}

// The real programs' parts, over the test session's display.
struct Desktop {
    SystemClock clock;
    X11WindowSystem windows{nullptr, std::make_shared<AtspiControlTexts>()};
    X11Keyboard keyboard;
    KeystrokeSender keys{keyboard, clock, windows};
    ScriptedPrompter prompter;
    ql::testing::FakeWatchedEntries entries;
    WindowMonitor monitor{{windows, keys, clock, prompter, entries}, MonitorPolicy::mainProgram()};

    explicit Desktop(const WatchedEntry& entry) {
        entries.byUser["alice"] = {entry};
        monitor.switchMonitoring(true);
        monitor.watchUser("alice", WatchAction::Load);
        monitor.processWatchedUsers();
    }
    // Ticks like the frame's timer for a while, or until `done` holds.
    void run(int milliseconds, const std::function<bool()>& done = {}) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            monitor.runMonitorCycle(false);
            if (done && done()) return;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(200);
        }
    }
};

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_monitor_x11";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

} // namespace

TEST(MonitorEndToEnd, TypesOnceIntoTheLabelledLoginWindowOnly) {
    app();
    Desktop desktop(loginEntry(0));
    ASSERT_TRUE(desktop.windows.available());
    desktop.run(800);
    EXPECT_EQ(desktop.monitor.lists().queueSize(), 1u) << "waits while no window fits";

    Receiver unlabelled("Login - No Label", false);
    desktop.run(2500);
    EXPECT_EQ(desktop.monitor.lists().queueSize(), 1u) << "no \"User name\" label, no send";

    Receiver receiver("Login - Receiver");
    desktop.run(20000, [&] { return desktop.monitor.lists().queueEmpty(); });
    EXPECT_TRUE(desktop.monitor.lists().queueEmpty());
    QJsonObject submit = receiver.next();
    EXPECT_EQ(submit["event"].toString(), "submit");
    EXPECT_EQ(submit["user"].toString(), "jdoe");
    EXPECT_EQ(submit["password"].toString(), "s3cret!");

    desktop.run(1500);
    EXPECT_FALSE(receiver.hasLine()) << "sent once";
    QJsonObject untouched = unlabelled.snapshot();
    EXPECT_EQ(untouched["user"].toString(), "");
    EXPECT_EQ(untouched["password"].toString(), "");
    EXPECT_TRUE(desktop.prompter.asked.empty());
}

TEST(MonitorEndToEnd, SendsAgainAfterTheRepeatInterval) {
    app();
    // Two seconds stand in for the usual thirty: sent again 2.5 s after each send.
    Desktop desktop(loginEntry(2));
    Receiver receiver("Login - Receiver");
    QElapsedTimer sinceFirst;
    int submits = 0;
    std::vector<qint64> times;
    desktop.run(25000, [&] {
        while (receiver.hasLine()) {
            QJsonObject line = receiver.next();
            if (line["event"].toString() != "submit") continue;
            EXPECT_EQ(line["user"].toString(), "jdoe");
            EXPECT_EQ(line["password"].toString(), "s3cret!");
            if (submits++ == 0) sinceFirst.start();
            else times.push_back(sinceFirst.elapsed());
        }
        return submits >= 2;
    });
    ASSERT_EQ(submits, 2);
    EXPECT_GE(times[0], 2300) << "not before the interval and its half second";
    EXPECT_EQ(desktop.monitor.lists().queueSize(), 1u) << "the row stays for the next interval";
}
