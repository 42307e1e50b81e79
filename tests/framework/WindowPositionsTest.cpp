#include "framework/IniStore.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// A window that records what the store did to it.
class FakeWindow : public PositionedWindow {
public:
    QRect place{0, 0, 100, 80}; // the designed place
    bool minimized = false, maximized = false, resizable = true;
    QStringList calls;

    bool isMinimized() const override { return minimized; }
    bool isMaximized() const override { return maximized; }
    bool isResizable() const override { return resizable; }
    QRect geometry() const override { return place; }
    void move(int x, int y) override {
        place.moveTo(x, y);
        calls << QStringLiteral("move %1 %2").arg(x).arg(y);
    }
    void resize(int w, int h) override {
        place.setSize({w, h});
        calls << QStringLiteral("resize %1 %2").arg(w).arg(h);
    }
    void setMaximized(bool on) override {
        maximized = on;
        calls << QStringLiteral("maximized %1").arg(on);
    }
    void showNormal() override {
        maximized = minimized = false;
        calls << QStringLiteral("normal");
    }
};

struct WindowPositionsTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("POSITION.INI");
    IniStore store;
    void SetUp() override { store.openStore(path); }
    QString raw(const QString& key) { return store.readSettingRaw("BrowsePasswords", key); }
};

} // namespace

TEST_F(WindowPositionsTest, MaximizedWindowComesBackMaximizedOverItsLastNormalPlace) {
    FakeWindow window;
    window.place = {30, 40, 640, 480};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", window));
    window.maximized = true;
    window.place = {0, 0, 1920, 1080};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", window));
    EXPECT_EQ(raw("Maximize"), "Yes");
    EXPECT_EQ(raw("XPos"), "30");
    EXPECT_EQ(raw("Width"), "640");

    FakeWindow reopened;
    store.restoreWindow("BrowsePasswords", reopened);
    EXPECT_EQ(reopened.calls, (QStringList{"move 30 40", "resize 640 480", "maximized 1"}));

    // Closed normal again: the normal place is restored and the window is not maximized.
    reopened.showNormal();
    reopened.place = {50, 60, 700, 500};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", reopened));
    FakeWindow third;
    third.maximized = true;
    store.restoreWindow("BrowsePasswords", third);
    EXPECT_EQ(third.calls, (QStringList{"normal", "move 50 60", "resize 700 500"}));
    EXPECT_FALSE(third.maximized);
}

TEST_F(WindowPositionsTest, MinimizedWindowLeavesStoredValuesUntouched) {
    FakeWindow window;
    window.minimized = true;
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", window));
    EXPECT_FALSE(QFile::exists(path));

    window.minimized = false;
    window.place = {5, 6, 200, 100};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", window));
    window.minimized = true;
    window.place = {-32000, -32000, 160, 24};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", window));
    EXPECT_EQ(raw("XPos"), "5");
    EXPECT_EQ(raw("Height"), "100");
    EXPECT_EQ(raw("Maximize"), "No");
}

TEST_F(WindowPositionsTest, FixedSizeWindowNeverGetsWidthOrHeight) {
    FakeWindow fixed;
    fixed.resizable = false;
    fixed.place = {12, 14, 300, 200};
    ASSERT_TRUE(store.saveWindow("BrowsePasswords", fixed));
    EXPECT_EQ(raw("XPos"), "12");
    EXPECT_EQ(raw("Width"), "---Unknown---");
    EXPECT_EQ(raw("Height"), "---Unknown---");

    // Sizes present in the file (say, from when the window was resizable) are not applied.
    store.writeSetting("BrowsePasswords", "Width", "999");
    store.writeSetting("BrowsePasswords", "Height", "999");
    FakeWindow reopened;
    reopened.resizable = false;
    store.restoreWindow("BrowsePasswords", reopened);
    EXPECT_EQ(reopened.calls, QStringList{"move 12 14"});
}

TEST_F(WindowPositionsTest, RestoreNeedsAValidMaximizeAndUsableNumbers) {
    FakeWindow window;
    store.restoreWindow("BrowsePasswords", window); // no file: designed place
    EXPECT_TRUE(window.calls.isEmpty());

    store.writeSetting("BrowsePasswords", "XPos", "10");
    store.writeSetting("BrowsePasswords", "YPos", "10");
    store.writeSetting("BrowsePasswords", "Maximize", "Maybe");
    store.restoreWindow("BrowsePasswords", window);
    EXPECT_TRUE(window.calls.isEmpty());

    store.writeSetting("BrowsePasswords", "Maximize", "No");
    store.writeSetting("BrowsePasswords", "Width", "0");
    store.writeSetting("BrowsePasswords", "Height", "300");
    store.restoreWindow("BrowsePasswords", window);
    EXPECT_EQ(window.calls, QStringList{"move 10 10"}); // a zero width is not applied

    window.calls.clear();
    store.writeSetting("BrowsePasswords", "XPos", "left");
    store.writeSetting("BrowsePasswords", "Maximize", "Yes");
    store.restoreWindow("BrowsePasswords", window);
    EXPECT_EQ(window.calls, QStringList{"maximized 1"});

    // Deleting the file gives every window its designed place again.
    QFile::remove(path);
    FakeWindow fresh;
    store.restoreWindow("BrowsePasswords", fresh);
    EXPECT_TRUE(fresh.calls.isEmpty());
    EXPECT_EQ(fresh.place, QRect(0, 0, 100, 80));
}
