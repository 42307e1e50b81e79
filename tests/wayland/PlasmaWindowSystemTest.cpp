// KWin's window-management list on a real headless KWin: native windows
// (Qt), their titles and application ids, the focus, activation,
// minimizing and closing, and the backends the desktop chooser picks there.
#include "platform/desktop/DesktopBackends.h"
#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wayland/WaylandConnection.h"
#include "tests/support/KwinSession.h"
#include "tests/support/SessionWindows.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::wayland_test;

namespace {

bool waitFor(PlasmaWindowSystem& ws, const std::function<bool()>& done) {
    return waitUntil(done, 5000, [&] { ws.waitForChanges(100); });
}

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_kwinwindows";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// A Qt window titled `title`.
std::unique_ptr<ReceiverProcess> window(const QString& title) {
    app();
    return std::make_unique<ReceiverProcess>(sessionFile(QStringLiteral("ql_receiver")), title);
}

} // namespace

TEST(KwinDesktop, TheChooserPicksTheKwinBackendsAndNamesThem) {
    const DesktopBackends b = openDesktop({});
    EXPECT_EQ(b.name, "Wayland (kwin_wayland)");
    EXPECT_EQ(b.keystrokes, "Keystrokes: KWin fake input (kwin_wayland)");
    EXPECT_EQ(b.notice, "");
    ASSERT_TRUE(b.windows && b.keyboard && b.clipboardClearing);
    EXPECT_NE(dynamic_cast<PlasmaWindowSystem*>(b.windows.get()), nullptr);
    EXPECT_NE(dynamic_cast<FakeInputKeyboard*>(b.keyboard.get()), nullptr);
    EXPECT_TRUE(b.windows->available());
    EXPECT_TRUE(b.keyboard->available());
    EXPECT_TRUE(b.clipboardClearing->available());
    EXPECT_EQ(describeDesktop(), "Keystrokes: KWin fake input (kwin_wayland)");
}

TEST(PlasmaWindowSystem, ListsWindowsWithTheirTitlesAndApplicationIdsUntilTheyClose) {
    PlasmaWindowSystem ws(connectOrFail());
    ASSERT_TRUE(ws.available());
    auto first = window(QStringLiteral("First window"));
    const WindowHandle a = waitForTitle(ws, QStringLiteral("First window"));
    auto second = window(QStringLiteral("Second window"));
    const WindowHandle b = waitForTitle(ws, QStringLiteral("Second window"));
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(ws.appIdOf(a), "ql_receiver");
    EXPECT_EQ(ws.appIdOf(b), "ql_receiver");
    // A second connection sees the same windows, told in full at its start.
    PlasmaWindowSystem other(connectOrFail());
    QStringList titles;
    for (const TopWindow& w : other.topWindows()) titles << w.title;
    EXPECT_TRUE(titles.contains("First window") && titles.contains("Second window")) << titles.join(", ").toStdString();
    EXPECT_TRUE(kwin_test::screenshot(QStringLiteral("kwin-two-windows.png")));

    second.reset();
    EXPECT_TRUE(waitFor(ws, [&] { return !ws.exists(b); }));
    EXPECT_TRUE(ws.exists(a));
    EXPECT_EQ(ws.appIdOf(b), "");
}

TEST(PlasmaWindowSystem, ActivationMovesTheFocusAndRestoreBringsBackAMinimizedWindow) {
    PlasmaWindowSystem ws(connectOrFail(), {}, {QStringLiteral("ql_receiver")});
    auto mine = window(QStringLiteral("Own window"));
    const WindowHandle own = waitForTitle(ws, QStringLiteral("Own window"));
    auto target = window(QStringLiteral("Target window"));
    const WindowHandle other = waitForTitle(ws, QStringLiteral("Target window"));
    ASSERT_TRUE(own && other);

    for (FocusWay way : {FocusWay::Ask, FocusWay::Restore, FocusWay::Direct}) {
        ws.requestFocus(own, way);
        ASSERT_TRUE(waitFor(ws, [&] { return ws.hasFocus(own); }));
        EXPECT_FALSE(ws.hasFocus(other));
        EXPECT_EQ(ws.focusedWindow(), own);
        EXPECT_EQ(ws.ownFocusedWindow(), own);
        ws.requestFocus(other, way);
        ASSERT_TRUE(waitFor(ws, [&] { return ws.hasFocus(other); }));
        EXPECT_EQ(ws.focusedWindow(), other);
        EXPECT_EQ(ws.ownFocusedWindow(), other); // the same program's
    }

    ws.minimize(other);
    ASSERT_TRUE(waitFor(ws, [&] { return ws.isMinimized(other); }));
    EXPECT_FALSE(ws.hasFocus(other));
    ws.requestFocus(other, FocusWay::Restore);
    EXPECT_TRUE(waitFor(ws, [&] { return !ws.isMinimized(other) && ws.hasFocus(other); }));

    // Asking for a window that closed is harmless.
    target.reset();
    ASSERT_TRUE(waitFor(ws, [&] { return !ws.exists(other); }));
    ws.requestFocus(other, FocusWay::Ask);
    EXPECT_FALSE(ws.hasFocus(other));
    EXPECT_TRUE(ws.available());
}

namespace {

// What wl-paste reads from the clipboard: its types with `list`, else its text.
QString pasted(bool list = false) {
    QProcess p;
    p.start("wl-paste", list ? QStringList{"--list-types"} : QStringList{"--no-newline"});
    p.waitForFinished(5000);
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

} // namespace

// The clear time comes while another program has the focus: KWin's data
// control clears the clipboard all the same, but only while it holds our copy.
TEST(KwinClipboard, IsClearedWhileAnotherWindowHasTheFocusButOnlyOurOwnCopy) {
    DesktopBackends desktop = openDesktop({});
    auto* ws = dynamic_cast<PlasmaWindowSystem*>(desktop.windows.get());
    ASSERT_TRUE(ws);
    auto other = window(QStringLiteral("Focused elsewhere"));
    const WindowHandle focused = waitForTitle(*ws, QStringLiteral("Focused elsewhere"));
    ASSERT_NE(focused, 0u);
    ASSERT_TRUE(waitFor(*ws, [&] { return ws->hasFocus(focused); }));
    ClipboardClearing& clearing = *desktop.clipboardClearing;
    ASSERT_TRUE(clearing.available());

    SessionProgram ours("wl-copy", {"--foreground", "--type", "application/x-quillock-copy", "secret"});
    ASSERT_TRUE(waitUntil([] { return pasted(true).contains("application/x-quillock-copy"); }, 5000));
    EXPECT_TRUE(clearing.clear());
    EXPECT_TRUE(waitUntil([] { return pasted(true).isEmpty(); }, 5000)) << pasted(true).toStdString();

    SessionProgram theirs("wl-copy", {"--foreground", "copied elsewhere"});
    ASSERT_TRUE(waitUntil([] { return pasted() == "copied elsewhere"; }, 5000));
    EXPECT_FALSE(clearing.clear());
    EXPECT_EQ(pasted(), "copied elsewhere");
    EXPECT_TRUE(ws->hasFocus(focused));
}

// The programs bind KWin's globals at their start and open the backends on
// that connection later: the windows KWin told about in between are listed.
TEST(KwinDesktop, BackendsOnTheConnectionOpenedAtTheStartListTheWindowsOpenBefore) {
    auto before = window(QStringLiteral("Open before the start"));
    prepareDesktopEarly();
    QThread::msleep(300); // KWin's news waits on the connection
    const DesktopBackends b = openDesktop({});
    auto* ws = dynamic_cast<PlasmaWindowSystem*>(b.windows.get());
    ASSERT_TRUE(ws);
    QStringList titles;
    for (const TopWindow& w : ws->topWindows()) titles << w.title;
    EXPECT_TRUE(titles.contains("Open before the start")) << titles.join(", ").toStdString();
    EXPECT_TRUE(b.keyboard->available());
}
