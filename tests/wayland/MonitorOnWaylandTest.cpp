// End to end on a headless sway (or, built with QL_KWIN_SESSION, a headless
// KWin), with the backends the desktop chooser picks there: a watched entry
// fills a window that opens after the monitor started, a focus moved to
// another window during a send leaves nothing there, and a one-shot send to a
// title no window has gives "Cannot Send".
#include "keys/KeystrokeSender.h"
#include "monitor/WindowMonitor.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "tests/monitor/support/MonitorFakes.h"
#include "tests/support/SessionWindows.h"
#ifdef QL_KWIN_SESSION
#include "tests/support/KwinSession.h"
#endif
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>

using namespace ql;
using namespace ql::wayland_test;

namespace {

// The session's window list on a connection of the test's own.
#ifdef QL_KWIN_SESSION
using SessionWindows = PlasmaWindowSystem;
#else
using SessionWindows = WlrWindowSystem;
#endif

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_monitor_wayland";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// The real clock, with a hook on every pass of event processing.
struct HookedClock : SystemClock {
    std::function<void()> onPass;
    void processEvents() override {
        SystemClock::processEvents();
        if (onPass) onPass();
    }
};

// The programs' parts over the session's backends.
struct Desk {
    HookedClock clock;
    DesktopBackends backends = openDesktop({std::make_shared<AtspiControlTexts>(), nullptr, {}});
    WindowSystem& windows = *backends.windows;
    KeystrokeSender keys{*backends.keyboard, clock, windows, SendPacing{20, 7}};
    ScriptedPrompter prompter;
    ql::testing::FakeWatchedEntries entries;
    std::unique_ptr<WindowMonitor> monitor;

    Desk(const WatchedEntry& entry, MonitorPolicy policy) {
        app();
        keys.setIdle([] { QThread::usleep(500); });
        entries.byUser["alice"] = {entry};
        monitor = std::make_unique<WindowMonitor>(
            WindowMonitor::Services{windows, keys, clock, prompter, entries}, policy);
        monitor->switchMonitoring(true);
        monitor->loadWatchedEntries("alice");
    }
    bool keyboardReady() const { return backends.keyboard->available(); }
    // Ticks like the frame's timer until `done` holds or `milliseconds` passed.
    bool run(int milliseconds, const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            monitor->runMonitorCycle(false);
            if (done()) return true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(100);
        }
        return done();
    }
};

WatchedEntry watched(const QString& pattern, const QString& text) {
    WatchedEntry e;
    e.titlePattern = pattern;
    e.sendText = text;
    e.user = "alice";
    return e;
}

QString fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(MonitorOnWayland, AOneShotSendToATitleNoWindowHasGivesCannotSend) {
    Desk desk(watched("Never Opens", "x"), MonitorPolicy::mainProgram());
    ASSERT_TRUE(desk.windows.available());
    desk.monitor->queueOneShotSend(watched("Missing Window", "jdoe[Enter]"));
    ASSERT_TRUE(desk.run(5000, [&] { return !desk.prompter.asked.empty(); }));
    EXPECT_EQ(desk.prompter.asked[0].title, "Cannot Send");
    EXPECT_EQ(desk.prompter.asked[0].text, "The associated window does not exist (Missing Window).");
}

// What "Send" in the password list asks of the monitor.
TEST(MonitorOnWayland, AOneShotSendTypesIntoTheReceiversWindow) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    Desk desk(watched("Never Opens", "x"), MonitorPolicy::mainProgram());
    ASSERT_TRUE(desk.keyboardReady()) << desk.backends.statusText().toStdString();
    ReceiverProcess receiver(sessionFile("ql_receiver"), "Sign In - One Shot");
    ASSERT_NE(receiver.window, 0u);
#ifdef QL_KWIN_SESSION
    ReceiverProcess elsewhere(sessionFile("ql_receiver"), "Elsewhere");
#else
    SessionProgram elsewhere(QStringLiteral("foot"), {QStringLiteral("--title=Elsewhere"),
                                                      QStringLiteral("sleep"), QStringLiteral("600")});
#endif
    SessionWindows watcher(WaylandConnection::open());
    ASSERT_NE(waitForTitle(watcher, "Elsewhere"), 0u); // it took the focus from the receiver
    desk.monitor->queueOneShotSend(watched("Sign In - One Shot", "jdoe[Tab]s3cret![Enter]"));
    ASSERT_TRUE(desk.run(10000, [&] { return desk.monitor->lists().queueSize() == 1; }))
        << "the one-shot row went, the watched one stays";
    const QJsonObject sent = receiver.next(10000);
    EXPECT_EQ(sent["event"].toString(), "submit");
    EXPECT_EQ(sent["user"].toString(), "jdoe");
    EXPECT_EQ(sent["password"].toString(), "s3cret!");
    EXPECT_TRUE(desk.prompter.asked.empty());
}

// A Qt window opens later.
#ifdef QL_KWIN_SESSION
TEST(MonitorOnWayland, AWatchedEntryFillsAWindowThatOpensAfterTheStart) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    Desk desk(watched("Later Login*", "jdoe[Tab]s3cret![Enter]"), MonitorPolicy::mainProgram());
    ASSERT_TRUE(desk.keyboardReady()) << desk.backends.statusText().toStdString();
    EXPECT_FALSE(desk.run(600, [&] { return desk.monitor->lists().queueEmpty(); }))
        << "waits while no window fits";
    ReceiverProcess later(sessionFile("ql_receiver"), "Later Login - Receiver");
    ASSERT_NE(later.window, 0u);
    ASSERT_TRUE(desk.run(20000, [&] { return desk.monitor->lists().queueEmpty(); }));
    const QJsonObject sent = later.next(10000);
    EXPECT_EQ(sent["user"].toString(), "jdoe");
    EXPECT_EQ(sent["password"].toString(), "s3cret!");
    EXPECT_TRUE(desk.prompter.asked.empty());
}
#endif

// foot on KWin needs a physical size for KWin's virtual outputs (the test's shim).
TEST(MonitorOnWayland, AWatchedEntryFillsATerminalThatOpensAfterTheStart) {
    Desk desk(watched("Terminal Login*", "jdoe[Enter]s3cret![Enter]"), MonitorPolicy::mainProgram());
    ASSERT_TRUE(desk.keyboardReady()) << desk.backends.statusText().toStdString();
    EXPECT_FALSE(desk.run(600, [&] { return desk.monitor->lists().queueEmpty(); }))
        << "waits while no window fits";

    QTemporaryDir dir;
    const QString out = dir.filePath("typed.txt");
    SessionProgram terminal(QStringLiteral("foot"),
                            {QStringLiteral("--title=Terminal Login"), QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("IFS= read -r u; IFS= read -r p; printf '%s|%s' \"$u\" \"$p\" > '") +
                                 out + QStringLiteral("'; sleep 600")},
#ifdef QL_KWIN_SESSION
                            kwin_test::footEnvironment()
#else
                            QProcessEnvironment::systemEnvironment()
#endif
    );
    ASSERT_TRUE(desk.run(20000, [&] { return desk.monitor->lists().queueEmpty(); }));
    EXPECT_TRUE(waitUntil([&] { return !fileText(out).isEmpty(); }, 10000));
    EXPECT_EQ(fileText(out), "jdoe|s3cret!") << "every character arrived, the first one too";
    EXPECT_TRUE(desk.prompter.asked.empty());
#ifdef QL_KWIN_SESSION
    kwin_test::screenshot(QStringLiteral("kwin-terminal-filled.png"));
#else
    screenshot(QStringLiteral("wayland-terminal-filled.png"));
#endif
}

// The monitor program's settle wait: the window is found and focused, then the
// user clicks into another window before the first key.
TEST(MonitorOnWayland, FocusMovedToAnotherWindowDuringASendGetsNothing) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    WatchedEntry entry = watched("Login - Settle", "jdoe[Tab]pw[Enter]");
    entry.secondsToWait = 1;
    Desk desk(entry, MonitorPolicy::monitorProgram());
    ASSERT_TRUE(desk.keyboardReady()) << desk.backends.statusText().toStdString();
    ReceiverProcess target(sessionFile("ql_receiver"), "Login - Settle");
    ReceiverProcess other(sessionFile("ql_receiver"), "Elsewhere - Settle");
    SessionWindows mover(WaylandConnection::open()); // the user's hand, on a connection of its own
    const WindowHandle targetWindow = waitForTitle(mover, "Login - Settle");
    const WindowHandle otherWindow = waitForTitle(mover, "Elsewhere - Settle");
    ASSERT_TRUE(targetWindow && otherWindow);
    bool moved = false;
    desk.clock.onPass = [&] { // in the settle wait: its window has been focused, nothing typed yet
        if (!moved && desk.monitor->cycle().running() && mover.hasFocus(targetWindow)) {
            mover.requestFocus(otherWindow, FocusWay::Ask);
            moved = waitUntil([&] { return mover.hasFocus(otherWindow); }, 5000,
                              [&] { mover.waitForChanges(20); });
        }
    };
    desk.run(15000, [&] { return desk.monitor->lists().queueEmpty(); });
    EXPECT_TRUE(moved) << "the focus was moved during the wait";
    QJsonObject elsewhere = other.snapshot();
    EXPECT_EQ(elsewhere["event"].toString(), "snapshot");
    EXPECT_EQ(elsewhere["user"].toString(), "") << "nothing typed into the other window";
    EXPECT_EQ(elsewhere["password"].toString(), "");
}
