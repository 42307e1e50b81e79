#include "monitor/WindowFinder.h"
#include "platform/wlrwindows/ToplevelList.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

WindowHandle told(ToplevelList& list, const QString& title, const QString& appId = {}) {
    const WindowHandle h = list.announce();
    list.setTitle(h, title);
    list.setAppId(h, appId);
    list.setStates(h, false, false);
    list.done(h);
    return h;
}

} // namespace

TEST(ToplevelList, KeepsAnnouncedOrderAndListsOnlyTitledWindows) {
    ToplevelList list;
    const WindowHandle a = told(list, "Mail");
    const WindowHandle untitled = told(list, "");
    const WindowHandle b = told(list, "Bank - Login");
    const std::vector<TopWindow> shown = list.titled();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].handle, a);
    EXPECT_EQ(shown[1].title, "Bank - Login");
    EXPECT_EQ(shown[1].handle, b);
    EXPECT_TRUE(list.exists(untitled)); // exists, just not listed
}

TEST(ToplevelList, ChangesTakeEffectOnlyAtDone) {
    ToplevelList list;
    const WindowHandle h = list.announce();
    list.setTitle(h, "Half told");
    EXPECT_FALSE(list.exists(h)); // nothing is known before the first done
    EXPECT_TRUE(list.titled().empty());
    list.done(h);
    list.setTitle(h, "Renamed");
    list.setStates(h, true, false);
    EXPECT_EQ(list.titled().at(0).title, "Half told");
    EXPECT_EQ(list.activated(), 0u);
    list.done(h);
    EXPECT_EQ(list.titled().at(0).title, "Renamed");
    EXPECT_EQ(list.activated(), h);
}

TEST(ToplevelList, ClosedWindowsAreGoneAndTheirHandlesNeverReturn) {
    ToplevelList list;
    const WindowHandle a = told(list, "One");
    list.close(a);
    EXPECT_FALSE(list.exists(a));
    EXPECT_EQ(list.state(a), nullptr);
    const WindowHandle b = told(list, "One");
    EXPECT_NE(a, b); // a stale handle never points at a newer window
    EXPECT_TRUE(validHandle(a) && validHandle(b)) << "the window finder takes them for windows";
    list.setTitle(a, "late event of a closed window");
    list.done(a);
    ASSERT_EQ(list.titled().size(), 1u);
    EXPECT_EQ(list.titled()[0].handle, b);
}

TEST(ToplevelList, FocusFollowsTheActivatedStateAndMinimizedIsKept) {
    ToplevelList list;
    const WindowHandle a = told(list, "A", "foot");
    const WindowHandle b = told(list, "B", "quillock");
    list.setStates(a, true, false);
    list.done(a);
    EXPECT_EQ(list.activated(), a);
    list.setStates(a, false, true);
    list.done(a);
    list.setStates(b, true, false);
    list.done(b);
    EXPECT_EQ(list.activated(), b);
    EXPECT_TRUE(list.state(a)->minimized);
    EXPECT_EQ(list.state(b)->appId, "quillock");
    list.close(b);
    EXPECT_EQ(list.activated(), 0u);
}
