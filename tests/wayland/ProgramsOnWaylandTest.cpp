// Both programs as native Wayland clients on a headless sway: their windows
// are found by application id, the main program's status bar names what types
// the keystrokes, and the monitor program starts into a StatusNotifier tray
// (the test's own watcher on the session bus) and comes back on its click.
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "tests/support/AccessibleButtons.h"
#include "tests/support/StatusNotifierWatcher.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::testing;
using namespace ql::wayland_test;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "programs_on_wayland";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// The handle of the window titled `title`, answering bus calls meanwhile.
WindowHandle waitForTitle(WlrWindowSystem& ws, const QString& title, int waitMs = 20000) {
    WindowHandle found = 0;
    waitUntil(
        [&] {
            for (const TopWindow& w : ws.topWindows())
                if (w.title == title) found = w.handle;
            return found != 0;
        },
        waitMs, [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ws.waitForChanges(50);
        });
    return found;
}

// Adds one entry of the folder's lone user, sent into the window titled `window`.
void addEntry(const QString& folder, const QString& service, const QString& name, const QString& window) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setOwnerKey(buildOwnerKey());
    {
        DataTable table(passwordsTable());
        ASSERT_EQ(table.open(), store_error::NoError);
        Record& r = table.record();
        r.clear();
        r.setText("P_:USER", u"Default User");
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", name);
        r.setText("P_:PASSWORD", "pw " + name);
        r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
        r.setText("P_:WINDOWTITLETOLOCATE", window);
        ASSERT_EQ(table.add(), store_error::NoError);
    }
    QDir::setCurrent(previous);
}

bool hasText(const std::vector<ChildWindow>& controls, const QString& text) {
    for (const ChildWindow& c : controls)
        if (c.text == text) return true;
    return false;
}

class ProgramsOnWayland : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(data_.isValid());
        ASSERT_TRUE(insideSession());
        makeTables();
    }
    // A command-line run makes the tables (and fails: there is no such user),
    // so the program's start is no new folder's first start, which would wait
    // for an answer to its passphrase offer.
    void makeTables() {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        run.setProcessEnvironment(env);
        run.start(sessionFile("quillock"), {dataParameter(), "Sync=Out", "User=nobody", "Password=x",
                                            "File=" + data_.filePath("none.syn")});
        ASSERT_TRUE(run.waitForFinished(30000));
    }
    QString dataParameter() const { return QStringLiteral("Data=") + data_.path(); }

    // The monitor program in the test's tray, its window brought back by a
    // click on its icon; the window's handle.
    WindowHandle monitorFromTray(StatusNotifierWatcher& watcher);

    QTemporaryDir data_;
    WlrWindowSystem ws_{WaylandConnection::open()};
};

WindowHandle ProgramsOnWayland::monitorFromTray(StatusNotifierWatcher& watcher) {
    const QString item = watcher.waitForItem();
    EXPECT_FALSE(item.isEmpty()) << "the monitor did not put its icon into the tray";
    if (item.isEmpty()) return 0;
    EXPECT_EQ(waitForTitle(ws_, "Quillock Monitor", 1000), 0u) << "it starts in the tray, no window";
    // The tray's one click brings the window back.
    QDBusMessage click = QDBusMessage::createMethodCall(item, "/StatusNotifierItem",
                                                        "org.kde.StatusNotifierItem", "Activate");
    click << 0 << 0;
    QDBusConnection::sessionBus().call(click, QDBus::Block, 5000);
    const WindowHandle window = waitForTitle(ws_, "Quillock Monitor");
    EXPECT_NE(window, 0u) << "the tray's click did not bring the window back";
    if (!window) return 0;
    EXPECT_TRUE(waitUntil([&] { return ws_.hasFocus(window); }, 5000, [&] { ws_.waitForChanges(50); }))
        << "the restored window takes the focus";
    return window;
}

} // namespace

TEST_F(ProgramsOnWayland, TheMainProgramIsANativeWindowFoundByItsIdAndItsStatusNamesTheBackend) {
    SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
    const WindowHandle frame = waitForTitle(ws_, "Quillock");
    ASSERT_NE(frame, 0u) << "the main program's window did not come up";
    EXPECT_EQ(ws_.appIdOf(frame), "quillock");
    // Its own window holds the focus: it is ours to the program, not to us.
    EXPECT_EQ(ws_.ownFocusedWindow(), 0u);

    AtspiControlTexts texts;
    const QString status = openDesktop({}).statusText();
    EXPECT_TRUE(status.contains("(sway)")) << status.toStdString();
    EXPECT_TRUE(waitUntil([&] { return hasText(texts.controls(uint32_t(quillock.pid()), "Quillock"), status); },
                          10000))
        << "the status bar shows: " << status.toStdString();
    screenshot(QStringLiteral("wayland-main-program.png"));
}

TEST_F(ProgramsOnWayland, TheMonitorStartsIntoAStatusNotifierTrayAndComesBackOnItsClick) {
    {
        // The monitor starts on a folder where the main program has run.
        SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
        ASSERT_NE(waitForTitle(ws_, "Quillock"), 0u);
    }
    StatusNotifierWatcher watcher;
    ASSERT_TRUE(watcher.registered()) << "the test's tray took its name on the session bus";
    SessionProgram qlmon(sessionFile("qlmon"), {dataParameter()});
    const WindowHandle window = monitorFromTray(watcher);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(ws_.appIdOf(window), "qlmon");
    screenshot(QStringLiteral("wayland-monitor-restored.png"));
}

TEST_F(ProgramsOnWayland, TheMonitorSendsTheHighlightedEntryIntoItsWindowOnSend) {
    {
        SessionProgram quillock(sessionFile("quillock"), {dataParameter()});
        ASSERT_NE(waitForTitle(ws_, "Quillock"), 0u);
    }
    addEntry(data_.path(), "Acme Sign In", "amy.acme", "Sign In - Wayland Receiver");
    ASSERT_TRUE(openDesktop({}).keyboard->available());
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess receiver(sessionFile("ql_receiver"), "Sign In - Wayland Receiver");
    ASSERT_NE(receiver.window, 0u);
    StatusNotifierWatcher watcher;
    ASSERT_TRUE(watcher.registered());
    SessionProgram qlmon(sessionFile("qlmon"), {dataParameter()});
    const WindowHandle window = monitorFromTray(watcher);
    ASSERT_NE(window, 0u);
    screenshot(QStringLiteral("wayland-monitor-list.png"));
    // "&Send", pressed as an assistive tool presses it.
    ASSERT_TRUE(waitUntil([&] { return pressAccessibleButton(qlmon.pid(), "Quillock Monitor", "Send"); },
                          10000));
    // The tray's bus calls are answered all the while: the icon comes back with the send.
    const auto serveTray = [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ws_.waitForChanges(20);
    };
    EXPECT_TRUE(waitUntil([&] { return !ws_.exists(window); }, 5000, serveTray))
        << "Send sends the window to the tray";
    QJsonObject sent;
    waitUntil([&] { return !(sent = receiver.next(20)).isEmpty(); }, 20000, serveTray);
    EXPECT_EQ(sent["event"].toString(), "submit");
    EXPECT_EQ(sent["user"].toString(), "amy.acme");
    EXPECT_EQ(sent["password"].toString(), "pw amy.acme");
    screenshot(QStringLiteral("wayland-monitor-sent.png"));
}
