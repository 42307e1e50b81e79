// End to end on a headless GNOME compositor with the desktop portal: the
// backends the chooser picks there, windows of GTK and Qt programs through
// the accessibility bus, and keystrokes through the portal's remote-desktop
// session, whose permission dialog the test answers through the
// accessibility bus as a user would: once refused, once allowed.
#include "keys/KeystrokeSender.h"
#include "keys/SendStopped.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "monitor/WindowMonitor.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/gnome/AtspiWindowSystem.h"
#include "tests/monitor/support/MonitorFakes.h"
#include "tests/gnome/GnomeReceivers.h"
#include "tests/support/GnomeShellSession.h"
#include "tests/support/PortalPermission.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <atspi/atspi.h>
#include <gtest/gtest.h>

namespace ql {

namespace {

using wayland_test::waitUntil;
using portal_test::PermissionAnswer;
using namespace gnome_test;

} // namespace

TEST(GnomeDesktop, TheChooserPicksAccessibilityWindowsAndThePortalKeyboard) {
    ASSERT_TRUE(wayland_test::insideSession());
    Desk desk;
    // GNOME's shell is the compositor, over mutter.
    EXPECT_EQ(desk.backends.name, "Wayland (gnome-shell)");
    EXPECT_EQ(desk.backends.keystrokes, "Keystrokes: desktop portal (gnome-shell)");
    EXPECT_TRUE(desk.windows.available());
    EXPECT_TRUE(desk.backends.keyboard->available());
    EXPECT_TRUE(dynamic_cast<AtspiWindowSystem*>(&desk.windows));
}

TEST(GnomeDesktop, ARefusedPermissionStopsTheSendWithAMessageAndTypesNothing) {
    Desk desk;
    Zenity target(desk.windows, "Refused Target");
    ASSERT_NE(target.window, 0u);
    PermissionAnswer answer(false);
    EXPECT_EQ(desk.keys.sendGrouped("jdoe[Tab]s3cret[Enter]", target.window), SendOutcome::NotAllowed);
    EXPECT_TRUE(answer.answered()) << "the desktop's dialog came up and was cancelled";
    // Asked once per run: the next send stops at once, without the dialog.
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(desk.keys.sendGrouped("jdoe[Enter]", target.window), SendOutcome::NotAllowed);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(target.text(true), "") << "nothing was typed";
    EXPECT_TRUE(kNotAllowedText.contains("did not let Quillock type"));
}

class GnomeKeys : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desk = new Desk;
        answer = new PermissionAnswer(true);
    }
    void TearDown() override { gnome_test::screenshotOfTest(); }
    static void TearDownTestSuite() {
        delete answer;
        delete desk;
    }
    static SendResult send(const QString& line, WindowHandle target, bool direct) {
        return sendTo(*desk, line, target, direct);
    }
    static void setCapsLock(bool on) { gnome_test::setCapsLock(*desk, on); }
    static Desk* desk;
    static PermissionAnswer* answer;
};
Desk* GnomeKeys::desk = nullptr;
PermissionAnswer* GnomeKeys::answer = nullptr;

// A GTK window shows as active once the seat has a keyboard, which the
// session's keyboard gives a headless compositor: these tests follow the
// first allowed send.
TEST_F(GnomeKeys, AnAllowedSessionTypesThePunctuationLineExactlyIntoGtkAndQtWithCapsLockOffAndOn) {
    Zenity first(desk->windows, "GTK Receiver");
    ASSERT_NE(first.window, 0u);
    ASSERT_EQ(send("Ab1" + kPunctuation + "[Enter]", first.window, false), SendOutcome::Completed);
    EXPECT_TRUE(answer->answered());
    EXPECT_EQ(first.text(false), "Ab1" + kPunctuation);
    qputenv("QT_QPA_PLATFORM", "wayland");
    for (bool caps : {false, true}) {
        for (bool direct : {false, true}) {
            SCOPED_TRACE(std::string(caps ? "caps on" : "caps off") + (direct ? " direct" : " grouped"));
            setCapsLock(caps);
            Zenity gtk(desk->windows, "GTK Receiver");
            ASSERT_NE(gtk.window, 0u);
            ASSERT_EQ(send("jDoe" + kPunctuation + "[Enter]", gtk.window, direct), SendOutcome::Completed);
            EXPECT_EQ(gtk.text(false), "jDoe" + kPunctuation);

            ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Qt Receiver");
            const WindowHandle qtWindow = titled(desk->windows, "Qt Receiver");
            ASSERT_NE(qtWindow, 0u);
            // A Qt program just started answers its first accessibility
            // questions slowly; a key held over such a stall would repeat.
            settle(1500);
            ASSERT_EQ(send("jDoe[Tab]" + kPunctuation + "[Enter]", qtWindow, direct), SendOutcome::Completed);
            const QJsonObject got = qt.next();
            EXPECT_EQ(got["user"].toString(), "jDoe");
            EXPECT_EQ(got["password"].toString(), kPunctuation);
        }
    }
    setCapsLock(false);
}

TEST_F(GnomeKeys, WindowsOfGtkAndQtProgramsWithTitlesFocusAndPresence) {
    WindowSystem& windows = desk->windows;
    Zenity gtk(windows, "GTK Window");
    ASSERT_NE(gtk.window, 0u) << "a GTK program is on the accessibility bus";
    EXPECT_TRUE(waitUntil([&] { return windows.focusedWindow() == gtk.window; }, 5000, nap));
    {
        ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Qt Window");
        const WindowHandle qtWindow = titled(windows, "Qt Window");
        ASSERT_NE(qtWindow, 0u) << "a Qt program with accessibility on is on the bus";
        EXPECT_TRUE(waitUntil([&] { return windows.focusedWindow() == qtWindow; }, 5000, nap))
            << "the window opened last has the focus";
        EXPECT_FALSE(windows.hasFocus(gtk.window));
        EXPECT_TRUE(windows.exists(gtk.window));
    }
    EXPECT_TRUE(waitUntil([&] { return titled(windows, "Qt Window", 0) == 0; }, 5000, nap))
        << "a closed window leaves the list";
    EXPECT_EQ(gtk.text(true), "");
    EXPECT_FALSE(windows.exists(gtk.window));
}

// No program may bring another's window forward here: a send to a window
// without the focus waits for the user, and types nowhere else meanwhile.
TEST_F(GnomeKeys, ASendToAWindowWithoutTheFocusTypesNothingAnywhere) {
    Zenity behind(desk->windows, "Behind Window");
    Zenity front(desk->windows, "Front Window");
    ASSERT_TRUE(waitUntil([&] { return desk->windows.hasFocus(front.window); }, 5000, nap));
    EXPECT_EQ(send("jdoe[Enter]", behind.window, false), SendOutcome::NotFocused);
    EXPECT_EQ(front.text(true), "");
    EXPECT_EQ(behind.text(true), "");
}

// The US layout has no accented letters: the send stops before the first,
// with what came before it typed and nothing wrong.
TEST_F(GnomeKeys, ACharacterTheLayoutCannotTypeStopsTheSendBeforeIt) {
    Zenity gtk(desk->windows, "Stop Receiver");
    ASSERT_NE(gtk.window, 0u);
    const SendResult r = send(QStringLiteral("abc\u00e9def[Enter]"), gtk.window, false);
    EXPECT_EQ(r, SendOutcome::Untypable);
    EXPECT_EQ(r.character, U'\u00e9');
    settle(); // the keys before it reach the entry
    EXPECT_EQ(gtk.text(true), "abc");
}

// The monitor sees a GTK window that opens after it started, and fills it.
TEST_F(GnomeKeys, AWatchedEntryFillsAGtkWindowThatAppearsLater) {
    ql::testing::FakeWatchedEntries entries;
    ScriptedPrompter prompter;
    WatchedEntry entry;
    entry.titlePattern = "Late Login*";
    entry.sendText = "jdoe[Tab]s3cret";
    entry.user = "alice";
    entries.byUser["alice"] = {entry};
    WindowMonitor monitor(WindowMonitor::Services{desk->windows, desk->keys, desk->clock, prompter, entries},
                          MonitorPolicy::mainProgram());
    monitor.switchMonitoring(true);
    monitor.loadWatchedEntries("alice");
    monitor.runMonitorCycle(false);
    EXPECT_FALSE(monitor.lists().queueEmpty()) << "waits while no window fits";
    // A GTK dialog with two fields; zenity prints them joined by "|".
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GDK_BACKEND", "wayland");
    QProcess form;
    form.setProcessEnvironment(env);
    form.start("zenity", {"--forms", "--title", "Late Login", "--add-entry", "User", "--add-password", "Password"});
    QElapsedTimer t;
    t.start();
    while (!monitor.lists().queueEmpty() && t.elapsed() < 20000) {
        monitor.runMonitorCycle(false);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(100);
    }
    EXPECT_TRUE(monitor.lists().queueEmpty());
    // Enter in a form's last field does not close it: OK does.
    settle();
    if (form.state() != QProcess::NotRunning) pressOkOf(form.processId());
    ASSERT_TRUE(form.state() == QProcess::NotRunning || form.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(form.readAllStandardOutput()).trimmed(), "jdoe|s3cret");
    EXPECT_TRUE(prompter.asked.empty());
}

} // namespace ql
