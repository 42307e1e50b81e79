// Runs inside a private X session, once with a window manager and once without.
#include "platform/x11windows/X11WindowSystem.h"
#include "tests/monitor/support/TestWindows.h"
#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace ql;
using ql::testing::TestWindows;

namespace {

bool eventually(const std::function<bool()>& condition, int milliseconds = 3000) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

int indexOf(const std::vector<TopWindow>& list, WindowHandle handle) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].handle == handle) return int(i);
    return -1;
}

QString titleIn(const std::vector<TopWindow>& list, WindowHandle handle) {
    int i = indexOf(list, handle);
    return i < 0 ? QString() : list[size_t(i)].title;
}

// One connection makes every test's windows, so no window id is ever used
// twice: a window manager still busy with an old window would otherwise take a
// new window with the same id for it.
TestWindows& sharedWindows() {
    static TestWindows* windows = new TestWindows;
    return *windows;
}

// Asks politely, then directly, as the monitor does across its ticks.
bool bringForward(X11WindowSystem& ws, WindowHandle window, FocusWay way) {
    ws.requestFocus(window, way);
    if (eventually([&] { return ws.hasFocus(window); }, 300)) return true;
    ws.requestFocus(window, FocusWay::Direct);
    return eventually([&] { return ws.hasFocus(window); }, 2000);
}

// Destroys a top-level window and waits until the window manager has let go of it.
void destroyAndWaitGone(X11WindowSystem& ws, TestWindows& made, uint32_t window) {
    made.destroy(window);
    EXPECT_TRUE(eventually([&] { return indexOf(ws.topWindows(), window) < 0; }));
}

} // namespace

TEST(X11WindowSystem, ListsTitledTopLevelWindowsTopFirst) {
    X11WindowSystem ws;
    TestWindows& made = sharedWindows();
    ASSERT_TRUE(ws.available());
    ASSERT_TRUE(made.ok());

    uint32_t lower = made.create("Lower – Ünïcode");
    uint32_t plain = made.create("Plain Latin", {.netName = false});
    uint32_t untitled = made.create("");
    uint32_t popup = made.create("Popup", {.overrideRedirect = true});
    uint32_t hidden = made.create("Hidden Window", {.map = false});
    uint32_t upper = made.create("Upper");
    made.waitMapped(upper);

    std::vector<TopWindow> list;
    ASSERT_TRUE(eventually([&] {
        list = ws.topWindows();
        return indexOf(list, upper) >= 0 && indexOf(list, lower) >= 0 &&
               indexOf(list, plain) >= 0;
    }));
    EXPECT_EQ(titleIn(list, lower), QString::fromUtf8("Lower – Ünïcode"));
    EXPECT_EQ(titleIn(list, plain), "Plain Latin");
    EXPECT_EQ(titleIn(list, hidden), "Hidden Window") << "unmapped windows are listed too";
    EXPECT_EQ(indexOf(list, untitled), -1);
    EXPECT_EQ(indexOf(list, popup), -1);
    EXPECT_LT(indexOf(list, upper), indexOf(list, lower)) << "the window on top comes first";

    made.destroy(upper);
    EXPECT_TRUE(eventually([&] { return indexOf(ws.topWindows(), upper) < 0; }));
    EXPECT_FALSE(ws.exists(upper));
    EXPECT_TRUE(ws.exists(lower));
    for (uint32_t w : {lower, plain, untitled, popup, hidden}) destroyAndWaitGone(ws, made, w);
}

// Root children are asked for WM_CLASS once; later changes must still count,
// also when another call than the listing took in the server's notices.
TEST(X11WindowSystem, HiddenWindowFollowsChangesOfItsClass) {
    X11WindowSystem ws;
    TestWindows& made = sharedWindows();
    uint32_t hidden = made.create("Late Class", {.map = false, .withClass = false});
    made.sync();
    EXPECT_EQ(indexOf(ws.topWindows(), hidden), -1) << "no WM_CLASS: not a hidden window";

    made.setClass(hidden, true);
    ws.focusedWindow();
    EXPECT_EQ(titleIn(ws.topWindows(), hidden), "Late Class");

    made.setClass(hidden, false);
    EXPECT_EQ(indexOf(ws.topWindows(), hidden), -1);
    made.setClass(hidden, true);
    EXPECT_GE(indexOf(ws.topWindows(), hidden), 0);
    made.destroy(hidden);
    EXPECT_EQ(indexOf(ws.topWindows(), hidden), -1);
}

TEST(X11WindowSystem, ActivationMovesFocusAndFocusedWindowFollows) {
    X11WindowSystem ws;
    TestWindows& made = sharedWindows();
    uint32_t first = made.create("First Target", {.pid = 4242});
    uint32_t second = made.create("Second Target", {.pid = uint32_t(getpid())});
    made.waitMapped(first);
    made.waitMapped(second);
    ASSERT_TRUE(eventually([&] { return indexOf(ws.topWindows(), first) >= 0; }));

    EXPECT_TRUE(bringForward(ws, first, FocusWay::Restore));
    EXPECT_EQ(ws.focusedWindow(), first);
    EXPECT_EQ(ws.ownFocusedWindow(), 0u) << "the focused window belongs to another process";
    EXPECT_EQ(ws.processOf(first), 4242u);

    EXPECT_TRUE(bringForward(ws, second, FocusWay::Direct));
    EXPECT_FALSE(ws.hasFocus(first));
    EXPECT_EQ(ws.focusedWindow(), second);
    EXPECT_EQ(ws.ownFocusedWindow(), second);

    EXPECT_TRUE(bringForward(ws, first, FocusWay::Ask));
    EXPECT_EQ(ws.focusedWindow(), first);
    EXPECT_EQ(indexOf(ws.topWindows(), first), 0) << "activation raises the window";

    destroyAndWaitGone(ws, made, first);
    ws.requestFocus(first, FocusWay::Restore); // a vanished window is ignored, not fatal
    ws.requestFocus(first, FocusWay::Direct);
    EXPECT_FALSE(ws.hasFocus(first));
    EXPECT_TRUE(ws.available());
    destroyAndWaitGone(ws, made, second);
}

TEST(X11WindowSystem, MinimizedWindowIsListedAndRestoredByActivation) {
    X11WindowSystem ws;
    if (!ws.hasWindowManager()) GTEST_SKIP() << "minimizing needs a window manager";
    TestWindows& made = sharedWindows();
    uint32_t window = made.create("Minimized Target");
    uint32_t other = made.create("Other Target");
    made.waitMapped(other);
    ASSERT_TRUE(eventually([&] { return indexOf(ws.topWindows(), window) >= 0; }));
    made.iconify(window);
    ASSERT_TRUE(eventually([&] { return !made.viewable(window); }));
    EXPECT_GE(indexOf(ws.topWindows(), window), 0) << "minimized windows stay listed";

    EXPECT_TRUE(bringForward(ws, window, FocusWay::Restore));
    EXPECT_TRUE(made.viewable(window));
    EXPECT_EQ(ws.focusedWindow(), window);
    destroyAndWaitGone(ws, made, window);
    destroyAndWaitGone(ws, made, other);
}

TEST(X11WindowSystem, ChildWindowsThatCarryANameAreListed) {
    X11WindowSystem ws;
    TestWindows& made = sharedWindows();
    uint32_t top = made.create("Parent Window");
    made.create("Inner Caption", {.parent = top});
    made.create("", {.parent = top});
    made.sync();
    ASSERT_TRUE(ws.available());
    // Under load the window manager may still be taking the parent in hand.
    std::vector<ChildWindow> kids;
    eventually([&] {
        kids = ws.childWindows(top);
        return kids.size() == 1;
    });
    std::string seen;
    for (const ChildWindow& k : kids) seen += "[" + k.text.toStdString() + "]";
    ASSERT_EQ(kids.size(), 1u) << seen;
    EXPECT_EQ(kids[0].text, "Inner Caption");
    EXPECT_EQ(kids[0].className, "QlTest");
    made.destroy(top);
    EXPECT_TRUE(ws.childWindows(top).empty());
}

TEST(X11WindowSystem, WithoutADisplayNothingIsListed) {
    X11WindowSystem ws(":987654");
    EXPECT_FALSE(ws.available());
    EXPECT_TRUE(ws.topWindows().empty());
    EXPECT_EQ(ws.focusedWindow(), 0u);
    ws.requestFocus(12345, FocusWay::Restore);
    EXPECT_FALSE(ws.hasFocus(12345));
}
