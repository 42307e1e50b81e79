#include "monitor/WindowFinder.h"
#include "platform/core/FakeWindowSystem.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {
ChildWindow child(const QString& text) { return {"Static", text, 0}; }
} // namespace

TEST(WindowFinder, ExactTitleIgnoresCaseAndTrailingBlanks) {
    EXPECT_TRUE(WindowFinder::titleFits("Notepad", "notepad  "));
    EXPECT_TRUE(WindowFinder::titleFits("Notepad   ", "NOTEPAD"));
    EXPECT_FALSE(WindowFinder::titleFits("Notepad", "Untitled - Notepad"));
    EXPECT_FALSE(WindowFinder::titleFits("Notepad", " Notepad")) << "leading blanks count";
}

TEST(WindowFinder, StarRules) {
    // Leading star: the rest occurs anywhere in the title.
    EXPECT_TRUE(WindowFinder::titleFits("*Notepad", "Untitled - Notepad"));
    EXPECT_TRUE(WindowFinder::titleFits("*note  ", "My NOTEPAD window"));
    EXPECT_FALSE(WindowFinder::titleFits("*Notepad", "Untitled - Note"));
    // Further stars after a leading one are ordinary characters.
    EXPECT_TRUE(WindowFinder::titleFits("*Log*", "Event LOG* viewer"));
    EXPECT_FALSE(WindowFinder::titleFits("*Log*", "Event Log viewer"));
    // Inner star: the text before it starts the title, the rest is ignored.
    EXPECT_TRUE(WindowFinder::titleFits("Untitled*xyz", "UNTITLED - Notepad"));
    EXPECT_TRUE(WindowFinder::titleFits("Untitled*xyz", "untitled"));
    EXPECT_FALSE(WindowFinder::titleFits("Untitled*xyz", "My Untitled"));
    EXPECT_FALSE(WindowFinder::titleFits("Untitled*", "Untitle"));
    // A star-only pattern fits any title; a tilde is just a character.
    EXPECT_TRUE(WindowFinder::titleFits("*", "anything"));
    EXPECT_TRUE(WindowFinder::titleFits("~Notepad", "~notepad"));
    EXPECT_FALSE(WindowFinder::titleFits("~Notepad", "Notepad"));
}

TEST(WindowFinder, FirstWindowInEnumerationOrderThatPassesContents) {
    FakeWindowSystem desktop;
    desktop.addWindow(100, "Login - Mail", {child("Welcome")});
    desktop.addWindow(200, "Login - Bank", {child("User Name:"), child("Password")});
    desktop.addWindow(300, "Login - Shop", {child("user name")});
    WindowFinder finder(desktop);

    EXPECT_EQ(finder.findTargetWindow("Login*", ""), 100u);
    EXPECT_EQ(finder.findTargetWindow("Login*", "user name  "), 200u);
    EXPECT_EQ(finder.findTargetWindow("*Shop", "USER NAME"), 300u);
    EXPECT_EQ(finder.findTargetWindow("Login*", "Account"), 0u);
    EXPECT_EQ(finder.findTargetWindow("~Login*", ""), 0u) << "no negated or -1 results";
    EXPECT_EQ(finder.findTargetWindow("Login - Bank", "password"), 200u);
}

TEST(WindowFinder, ChildListShowsTextlessChildrenAsAngleBrackets) {
    FakeWindowSystem desktop;
    desktop.addWindow(100, "Form", {child(""), {"Edit", "jdoe", 7}});
    WindowFinder finder(desktop);

    EXPECT_EQ(finder.findTargetWindow("Form", "<>"), 100u);
    ASSERT_EQ(finder.childList().size(), 2u);
    EXPECT_EQ(finder.childList()[0].text, "<>");
    EXPECT_EQ(finder.childList()[1].className, "Edit");
    EXPECT_EQ(finder.childList()[1].handle, 7u);
    // The child list is emptied before each candidate's children are listed.
    EXPECT_EQ(finder.findTargetWindow("Form", "nothing"), 0u);
    EXPECT_EQ(finder.childList().size(), 2u);
}

TEST(WindowFinder, ListingSkipsEmptyTitlesAndCutsLongOnes) {
    FakeWindowSystem desktop;
    desktop.addWindow(100, "");
    desktop.addWindow(200, QString(300, QLatin1Char('x')));
    WindowFinder finder(desktop);
    const auto& list = finder.listTopWindows();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].title.size(), WindowFinder::kTitleWidth);
}

TEST(WindowFinder, OneListingServesACycleUntilTheDesktopChanges) {
    FakeWindowSystem desktop;
    desktop.addWindow(100, "Alpha");
    WindowFinder finder(desktop);

    finder.findTargetWindow("Beta", "");
    finder.findTargetWindow("Gamma", "");
    EXPECT_EQ(desktop.topListings, 2) << "outside a cycle every search lists afresh";

    finder.beginCycle();
    for (int i = 0; i < 50; ++i) finder.findTargetWindow("Beta", "");
    EXPECT_EQ(desktop.topListings, 3);
    // A window found in a reused listing that has gone since is searched again.
    desktop.removeWindow(100);
    desktop.addWindow(101, "Alpha");
    EXPECT_EQ(finder.findTargetWindow("Alpha", ""), 101u);
    EXPECT_EQ(desktop.topListings, 4);
    // After asking for a focus the caller drops the listing: the next search lists again.
    finder.invalidateListing();
    finder.findTargetWindow("Beta", "");
    EXPECT_EQ(desktop.topListings, 5);
    finder.endCycle();
}

