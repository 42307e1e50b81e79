// The foreign-toplevel window list on a real headless sway: native windows
// (foot) and an X11 program under XWayland (xterm), the focus, activation
// and closing, and the backend the desktop chooser picks there.
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "tests/support/SessionWindows.h"
#include <gtest/gtest.h>

using namespace ql;
using namespace ql::wayland_test;

namespace {

bool waitForFocus(WlrWindowSystem& ws, WindowHandle window) {
    return waitUntil([&] { return ws.hasFocus(window); }, 5000, [&] { ws.waitForChanges(100); });
}

SessionProgram foot(const QString& title, const QString& appId) {
    return SessionProgram(QStringLiteral("foot"),
                          {QStringLiteral("--title=") + title, QStringLiteral("--app-id=") + appId,
                           QStringLiteral("sleep"), QStringLiteral("600")});
}

} // namespace

TEST(WaylandConnection, ReadsTheGlobalsAndTheCompositorsName) {
    std::shared_ptr<WaylandConnection> c = connectOrFail();
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->offers("wl_seat"));
    EXPECT_TRUE(c->offers("zwlr_foreign_toplevel_manager_v1"));
    EXPECT_TRUE(c->offers("zwp_virtual_keyboard_manager_v1"));
    EXPECT_FALSE(c->offers("no_such_interface_v1"));
    EXPECT_GT(c->global("wl_seat")->version, 0u);
    EXPECT_EQ(c->compositorName(), qEnvironmentVariable("QL_SESSION_COMPOSITOR").toStdString());
    EXPECT_NE(c->seat(), nullptr);
    EXPECT_TRUE(c->roundTrip());
    EXPECT_TRUE(c->dispatchPending());
    EXPECT_EQ(WaylandConnection::open("ql-no-such-socket"), nullptr);
}

TEST(WaylandDesktop, TheChooserPicksTheWlrootsBackendAndNamesIt) {
    const DesktopBackends b = openDesktop({});
    EXPECT_EQ(b.name, "Wayland (sway)");
    EXPECT_EQ(b.keystrokes, "Keystrokes: Wayland virtual keyboard (sway)");
    ASSERT_TRUE(b.windows);
    EXPECT_TRUE(b.windows->available());
    EXPECT_NE(b.wayland, nullptr);
    EXPECT_EQ(describeDesktop(), "Keystrokes: Wayland virtual keyboard (sway)");
}

TEST(WlrWindowSystem, ListsWindowsInTheCompositorsOrderWithTheirApplicationIds) {
    WlrWindowSystem ws(connectOrFail());
    ASSERT_TRUE(ws.available());
    SessionProgram first = foot(QStringLiteral("First window"), QStringLiteral("ql.first"));
    const WindowHandle a = waitForTitle(ws, QStringLiteral("First window"));
    SessionProgram second = foot(QStringLiteral("Second window"), QStringLiteral("ql.second"));
    const WindowHandle b = waitForTitle(ws, QStringLiteral("Second window"));
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(ws.appIdOf(a), "ql.first");
    EXPECT_EQ(ws.appIdOf(b), "ql.second");
    std::vector<WindowHandle> order;
    for (const TopWindow& w : ws.topWindows()) order.push_back(w.handle);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], a);
    EXPECT_EQ(order[1], b);
    // A second connection sees the same windows, told in full at its start.
    WlrWindowSystem other(connectOrFail());
    EXPECT_EQ(other.topWindows().size(), 2u);
    screenshot(QStringLiteral("wlr-two-windows.png"));

    second.stop();
    EXPECT_TRUE(waitUntil([&] { return !ws.exists(b); }, 5000, [&] { ws.waitForChanges(100); }));
    EXPECT_TRUE(ws.exists(a));
    EXPECT_EQ(ws.topWindows().size(), 1u);
}

TEST(WlrWindowSystem, ActivationMovesTheFocusAndTheFocusedWindowFollows) {
    WlrWindowSystem ws(connectOrFail(), {}, {QStringLiteral("ql.own")});
    SessionProgram mine = foot(QStringLiteral("Own window"), QStringLiteral("ql.own"));
    const WindowHandle own = waitForTitle(ws, QStringLiteral("Own window"));
    SessionProgram target = foot(QStringLiteral("Target window"), QStringLiteral("ql.target"));
    const WindowHandle other = waitForTitle(ws, QStringLiteral("Target window"));
    ASSERT_TRUE(own && other);

    for (FocusWay way : {FocusWay::Ask, FocusWay::Restore, FocusWay::Direct}) {
        ws.requestFocus(own, way);
        ASSERT_TRUE(waitForFocus(ws, own));
        EXPECT_FALSE(ws.hasFocus(other));
        EXPECT_EQ(ws.focusedWindow(), own);
        EXPECT_EQ(ws.ownFocusedWindow(), own);
        ws.requestFocus(other, way);
        ASSERT_TRUE(waitForFocus(ws, other));
        EXPECT_EQ(ws.focusedWindow(), other);
        EXPECT_EQ(ws.ownFocusedWindow(), 0u); // not one of ours
    }
    // Asking for a window that closed is harmless.
    target.stop();
    ASSERT_TRUE(waitUntil([&] { return !ws.exists(other); }, 5000, [&] { ws.waitForChanges(100); }));
    ws.requestFocus(other, FocusWay::Ask);
    EXPECT_FALSE(ws.hasFocus(other));
    EXPECT_TRUE(ws.available());
}

TEST(WlrWindowSystem, AnX11ProgramUnderXWaylandIsListedAndTakesTheFocus) {
    ASSERT_FALSE(qEnvironmentVariable("DISPLAY").isEmpty()) << "no XWayland display";
    WlrWindowSystem ws(connectOrFail());
    SessionProgram native = foot(QStringLiteral("Native window"), QStringLiteral("ql.native"));
    const WindowHandle wayland = waitForTitle(ws, QStringLiteral("Native window"));
    SessionProgram x11(QStringLiteral("xterm"),
                       {QStringLiteral("-T"), QStringLiteral("X11 window"), QStringLiteral("-class"),
                        QStringLiteral("QlXterm"), QStringLiteral("-e"), QStringLiteral("sleep"),
                        QStringLiteral("600")},
                       xwaylandEnvironment());
    const WindowHandle xwayland = waitForTitle(ws, QStringLiteral("X11 window"));
    ASSERT_TRUE(wayland && xwayland);
    ws.requestFocus(xwayland, FocusWay::Ask);
    EXPECT_TRUE(waitForFocus(ws, xwayland));
    ws.requestFocus(wayland, FocusWay::Ask);
    EXPECT_TRUE(waitForFocus(ws, wayland));
    EXPECT_FALSE(ws.hasFocus(xwayland));
}
