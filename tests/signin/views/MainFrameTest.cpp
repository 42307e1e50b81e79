#include "framework/IniStore.h"
#include "platform/core/DayNumber.h"
#include "platform/core/SystemClock.h"
#include "signin/views/ActivityWatcher.h"
#include "signin/views/MainFrame.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include <QAction>
#include <QKeyEvent>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimerEvent>
#include <gtest/gtest.h>

using namespace ql;

namespace {

class EmptyMonitor : public FrameMonitor {
public:
    bool queueEmpty() override { return true; }
    void runCycle(bool) override {}
    QStringList watchedUserNames() override { return {}; }
    void emptyQueue() override {}
    void setMonitoringOn(bool) override {}
    void reloadAllWatched() override {}
};

struct FrameFixture {
    QTemporaryDir folder;
    IniStore positions;
    FakeClock clock;
    FakeClipboard clipboard;
    EmptyMonitor monitor;
    FrameTicker ticker{clock, clipboard, monitor};
    std::unique_ptr<MainFrame> frame;
    FrameFixture() {
        testApp();
        positions.openStore(folder.filePath("POSITION.INI"));
        frame = std::make_unique<MainFrame>(ticker, positions, clock, clipboard);
    }
};

} // namespace

TEST(MainFrameWindow, MenusOfferEveryCommandAndOnlyTheWorkingOnesAreEnabled) {
    FrameFixture f;
    EXPECT_EQ(f.frame->windowTitle(), "Quillock");
    for (const char* text : {"E&xit", "Cu&t", "&Copy", "&Paste",
                             "Filter Clipboard Contents", "O&ptions", "T&ile", "&Cascade",
                             "&Arrange Icons", "&Contents", "&User Setup", "&About", "Password &Health"}) {
        QAction* item = f.frame->action(QLatin1String(text));
        ASSERT_NE(item, nullptr) << text;
        EXPECT_TRUE(item->isEnabled()) << text;
    }
    for (const char* text : {"Pass&words", "by Service", "by URL", "by Name",
                             "by Last Date Changed", "Master Report", "Password Health", "Print &Setup ...",
                             "&Import", "&Export", "S&ynchronize"}) {
        QAction* item = f.frame->action(QLatin1String(text));
        ASSERT_NE(item, nullptr) << text;
        EXPECT_FALSE(item->isEnabled()) << text;
    }
    f.frame->setReportsAvailable(true);
    EXPECT_TRUE(f.frame->action("Print &Setup ...")->isEnabled()) << "it sets up the reports' printer";
    EXPECT_TRUE(f.frame->action("Password Health")->isEnabled());
    f.frame->setExchangeAvailable(true);
    EXPECT_TRUE(f.frame->action("&Import")->isEnabled());
    EXPECT_TRUE(f.frame->action("&Export")->isEnabled());
}

TEST(MainFrameWindow, TickFillsTheStatusZonesAndCloseLeavesTheClipboardMarkAndPosition) {
    FrameFixture f;
    f.clock.day = dayNumber(QDate(2026, 12, 8));
    f.clock.set(17 * 360000 + 30 * 6000 + 1); // 5:30 PM
    f.ticker.setClipboardSeconds(30);
    f.frame->show();
    f.frame->runTick();
    EXPECT_EQ(f.frame->statusZone(2)->text(), "Monitor Off");
    EXPECT_EQ(f.frame->statusZone(3)->text(), "Tuesday, December 8, 2026");
    EXPECT_EQ(f.frame->statusZone(4)->text(), "5:30PM");
    f.frame->close();
    EXPECT_EQ(f.clipboard.text(), kClipboardClosingText);
    EXPECT_EQ(f.positions.readSetting("Main", "Maximize"), "No");
}

TEST(MainFrameWindow, FilterCommandRewritesTheClipboard) {
    FrameFixture f;
    f.clipboard.setText(QString("  a\tb   c[d]"));
    f.frame->action("Filter Clipboard Contents")->trigger();
    EXPECT_EQ(f.clipboard.text(), "ab cd");
}

TEST(MainFrameWindow, UserInputCountsAsActivityButTimerEventsDoNot) {
    testApp();
    int activity = 0;
    ActivityWatcher watcher([&] { ++activity; });
    QWidget window;
    window.installEventFilter(&watcher);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&window, &key);
    EXPECT_EQ(activity, 1);
    QTimerEvent tick(1);
    QApplication::sendEvent(&window, &tick);
    bool delivered = false; // a queued call, as the monitor's notifications arrive
    QMetaObject::invokeMethod(&window, [&] { delivered = true; }, Qt::QueuedConnection);
    QApplication::processEvents();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(activity, 1);
}

TEST(MainFrameWindow, TileAndCascadeArrangeTheOpenWindowsOverTheFrame) {
    FrameFixture f;
    f.frame->resize(900, 700);
    f.frame->show();
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < 4; ++i) {
        windows.push_back(std::make_unique<QWidget>(f.frame.get(), Qt::Window));
        windows.back()->resize(300, 200);
        windows.back()->show();
    }
    windows[2]->showMinimized(); // minimized and hidden windows stay where they are
    windows[3]->hide();
    const QRect area(f.frame->mdiArea()->mapToGlobal(QPoint(0, 0)), f.frame->mdiArea()->size());

    f.frame->action("T&ile")->trigger();
    const QRect left = windows[0]->frameGeometry(), right = windows[1]->frameGeometry();
    EXPECT_TRUE(area.contains(left));
    EXPECT_TRUE(area.contains(right));
    EXPECT_FALSE(left.intersects(right));
    EXPECT_EQ(left.width() + right.width(), area.width());
    EXPECT_EQ(left.height(), area.height());
    EXPECT_EQ(windows[3]->size(), QSize(300, 200));

    f.frame->action("&Cascade")->trigger();
    EXPECT_EQ(windows[0]->frameGeometry().topLeft(), area.topLeft());
    EXPECT_GT(windows[1]->frameGeometry().top(), area.top());
    EXPECT_GT(windows[1]->frameGeometry().left(), area.left());
    EXPECT_EQ(windows[1]->frameGeometry().width(), right.width()); // sizes kept where they fit
    windows.clear();
    f.frame->close();
}

TEST(MainFrameWindow, EditCommandsReachTheTextFieldLastUsedInAnotherWindow) {
    FrameFixture f;
    f.frame->show();
    QWidget window(f.frame.get(), Qt::Window);
    auto* field = new QLineEdit(QStringLiteral("login name"), &window);
    auto* button = new QPushButton(QStringLiteral("Other"), &window);
    button->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    field->setFocus();
    button->setFocus(); // a control without text in between does not count
    field->setSelection(0, 5);
    QApplication::setActiveWindow(f.frame.get()); // the menu is chosen in the frame
    QApplication::clipboard()->clear();

    f.frame->action("&Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "login");
    f.frame->action("Cu&t")->trigger();
    EXPECT_EQ(field->text(), " name");
    field->setCursorPosition(0);
    QApplication::clipboard()->setText(QStringLiteral("user"));
    f.frame->action("&Paste")->trigger();
    EXPECT_EQ(field->text(), "user name");
    // A window that has been closed is left alone.
    window.hide();
    QApplication::clipboard()->setText(QStringLiteral("x"));
    f.frame->action("&Paste")->trigger();
    EXPECT_EQ(field->text(), "user name");
    f.frame->close();
}
