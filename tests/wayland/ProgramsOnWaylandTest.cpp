// Both programs as native Wayland clients on a headless sway: their windows
// are found by application id, the main program's status bar names what types
// the keystrokes, and the monitor program starts into a StatusNotifier tray
// (the test's own watcher on the session bus), comes back on its click or
// through the menu its icon exports, sends on "&Send", and fills a watched
// entry's terminal that opens after it started.
#include "tests/support/TrayMenu.h"
#include "tests/wayland/ProgramsOnWayland.h"
#include <QFile>

using namespace ql;
using namespace ql::programs_test;

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
    prepareFolder();
    addEntry(data_.path(), {"Acme Sign In", "amy.acme", "Sign In - Wayland Receiver"});
    ASSERT_TRUE(openDesktop({}).keyboard->available());
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess receiver(sessionFile("ql_receiver"), "Sign In - Wayland Receiver");
    ASSERT_NE(receiver.window, 0u);
    StatusNotifierWatcher watcher;
    ASSERT_TRUE(watcher.registered());
    SessionProgram qlmon(sessionFile("qlmon"), {dataParameter()});
    const QString item = watcher.waitForItem();
    ASSERT_FALSE(item.isEmpty()) << "the monitor did not put its icon into the tray";
    // The tray shows the menu the icon exports, that of a monitor in the tray,
    // and its "Restore" brings the window back.
    QStringList labels;
    for (const TrayMenuEntry& entry : trayMenuEntries(item)) labels << entry.label;
    EXPECT_EQ(labels, (QStringList{"_Turn Monitor Off", "_Refresh", "", "Restore", "", "_Preferences",
                                            "_About", "_Exit Quillock Monitor"}));
    ASSERT_TRUE(clickTrayMenu(item, "Restore"));
    const WindowHandle window = waitForTitle(ws_, "Quillock Monitor");
    ASSERT_NE(window, 0u) << "the tray menu's Restore did not bring the window back";
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

TEST_F(ProgramsOnWayland, TheMonitorFillsAWatchedEntrysTerminalThatOpensAfterItStarted) {
    prepareFolder();
    addEntry(data_.path(), {"Shell Host", "jdoe", "Terminal Login*", "[Name][Enter][Password][Enter]", true});
    StatusNotifierWatcher watcher;
    ASSERT_TRUE(watcher.registered());
    SessionProgram qlmon(sessionFile("qlmon"), {dataParameter()});
    ASSERT_FALSE(watcher.waitForItem().isEmpty());
    const auto serveTray = [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ws_.waitForChanges(20);
    };
    waitUntil([] { return false; }, 1500, serveTray); // a few of its cycles with no such window

    const QString out = QDir::current().filePath("watched-terminal.txt");
    SessionProgram terminal(QStringLiteral("foot"),
                            {QStringLiteral("--title=Terminal Login"), QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("IFS= read -r u; IFS= read -r p; printf '%s|%s' \"$u\" \"$p\" > '") +
                                 out + QStringLiteral("'; sleep 600")});
    const auto typed = [&] {
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    EXPECT_TRUE(waitUntil([&] { return !typed().isEmpty(); }, 20000, serveTray)) << "the terminal was not filled";
    EXPECT_EQ(typed(), "jdoe|pw jdoe") << "every character arrived, the first one too";
    screenshot(QStringLiteral("wayland-monitor-watched-terminal.png"));
    QFile::remove(out);
}

// Without a tray the monitor minimizes its window on Send; sway has no
// minimized windows, so the window stays in its tile while the entry goes
// into the target, which the send brings forward.
TEST_F(ProgramsOnWayland, WithoutATrayTheMonitorSendsWithItsWindowLeftInItsTile) {
    prepareFolder();
    addEntry(data_.path(), {"Acme Sign In", "amy.acme", "Sign In - No Tray"});
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess receiver(sessionFile("ql_receiver"), "Sign In - No Tray");
    const WindowHandle target = waitForTitle(ws_, "Sign In - No Tray");
    ASSERT_NE(target, 0u);
    SessionProgram qlmon(sessionFile("qlmon"), {dataParameter()});
    const WindowHandle window = waitForTitle(ws_, "Quillock Monitor");
    ASSERT_NE(window, 0u) << "without a tray the window stays on the screen";
    ASSERT_TRUE(waitUntil([&] { return pressAccessibleButton(qlmon.pid(), "Quillock Monitor", "Send"); },
                          10000));
    QJsonObject sent;
    waitUntil([&] { return !(sent = receiver.next(20)).isEmpty(); }, 20000, [&] { ws_.waitForChanges(20); });
    EXPECT_EQ(sent["user"].toString(), "amy.acme");
    EXPECT_EQ(sent["password"].toString(), "pw amy.acme");
    EXPECT_TRUE(ws_.hasFocus(target));
    EXPECT_TRUE(ws_.exists(window));
    EXPECT_FALSE(ws_.isMinimized(window)) << "sway minimized a window after all";
    screenshot(QStringLiteral("wayland-monitor-sent-without-tray.png"));
}
