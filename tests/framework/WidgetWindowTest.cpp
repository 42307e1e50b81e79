#include "TestApp.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ql;

TEST(WidgetWindow, SavesAndRestoresAWidgetBeforeItIsShown) {
    testApp();
    QTemporaryDir dir;
    IniStore store;
    store.openStore(dir.filePath("POSITION.INI"));

    QWidget closing;
    closing.move(40, 50);
    closing.resize(320, 240);
    ASSERT_TRUE(store.saveWindow("Main", WidgetWindow(closing)));

    QWidget opening;
    WidgetWindow window(opening);
    EXPECT_TRUE(window.isResizable());
    store.restoreWindow("Main", window);
    EXPECT_EQ(opening.pos(), QPoint(40, 50));
    EXPECT_EQ(opening.size(), QSize(320, 240));
    EXPECT_FALSE(opening.isVisible());

    store.writeSetting("Main", "Maximize", "Yes");
    store.restoreWindow("Main", window);
    EXPECT_TRUE(opening.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(opening.isVisible());
    window.showNormal();
    EXPECT_FALSE(window.isMaximized());

    QWidget fixed;
    fixed.setFixedSize(200, 100);
    WidgetWindow fixedWindow(fixed);
    EXPECT_FALSE(fixedWindow.isResizable());
    store.writeSetting("Main", "Maximize", "No");
    store.restoreWindow("Main", fixedWindow);
    EXPECT_EQ(fixed.pos(), QPoint(40, 50));
    EXPECT_EQ(fixed.size(), QSize(200, 100));

    // A place saved on a screen that is no longer there is not applied.
    store.writeSetting("Main", "XPos", "-5000");
    store.writeSetting("Main", "YPos", "-5000");
    store.restoreWindow("Main", fixedWindow);
    EXPECT_EQ(fixed.pos(), QPoint(40, 50));
}
