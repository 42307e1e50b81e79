#include "platform/core/DayNumber.h"
#include "platform/core/SystemClock.h"
#include "platform/gnome/FocusedClipboardClearing.h"
#include "signin/FrameTicker.h"
#include "tests/support/QtPrinters.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

class FakeFrameMonitor : public FrameMonitor {
public:
    int queued = 0;
    std::vector<bool> runs;
    QStringList watched;
    int reloads = 0;
    bool queueEmpty() override { return queued == 0; }
    void runCycle(bool forced) override { runs.push_back(forced); }
    QStringList watchedUserNames() override { return watched; }
    void emptyQueue() override { queued = 0; }
    bool on = false;
    void setMonitoringOn(bool value) override { on = value; }
    void reloadAllWatched() override { ++reloads; }
};

struct Frame {
    FakeClock clock;
    FakeClipboard clipboard;
    FakeFrameMonitor monitor;
    FrameTicker ticker{clock, clipboard, monitor};
    FrameZones tickAfter(int32_t hundredths) {
        clock.advance(hundredths);
        return ticker.tick();
    }
};

} // namespace

TEST(FrameClipboardClear, CountsDownFromACopyAndEmptiesTheClipboardWhenDue) {
    Frame f;
    f.clock.set(36'000'00);
    f.ticker.setClipboardSeconds(30);
    f.ticker.setMonitoringOn(true);
    f.monitor.watched = {"alice   ", "bob", "carol"};
    EXPECT_EQ(f.ticker.tick().countdown, "Monitoring alice, bob");

    f.clipboard.setText("secret");
    f.ticker.tick();
    EXPECT_EQ(f.tickAfter(20).countdown, "29 seconds to clipboard clear");
    f.tickAfter(1000);
    f.clipboard.setText("other"); // a new copy restarts the count
    EXPECT_EQ(f.tickAfter(20).countdown, "30 seconds to clipboard clear");
    EXPECT_EQ(f.tickAfter(20).countdown, "29 seconds to clipboard clear");
    for (int i = 0; i < 149; ++i) f.tickAfter(20);
    EXPECT_EQ(f.clipboard.text(), "other"); // exactly 30 s: not yet
    EXPECT_EQ(f.tickAfter(20).countdown, "Monitoring alice, bob");
    EXPECT_EQ(f.clipboard.text(), "");
}

// Where only the focused program may set the clipboard, the desktop's clearing
// service empties it, and the toolkit's clipboard is left alone.
TEST(FrameClipboardClear, WhenDueTheDesktopsClearingServiceEmptiesTheClipboard) {
    struct CountingClearing : ClipboardClearing {
        int clears = 0;
        bool available() const override { return true; }
        bool clear() override { return ++clears, true; }
    } clearing;
    FakeClock clock;
    FakeClipboard clipboard;
    FakeFrameMonitor monitor;
    FrameTicker ticker{clock, clipboard, monitor, &clearing};
    clock.set(36'000'00);
    ticker.setClipboardSeconds(5);
    clipboard.setText("secret");
    ticker.tick();
    clock.advance(499);
    ticker.tick();
    EXPECT_EQ(clearing.clears, 0);
    clock.advance(2);
    ticker.tick();
    EXPECT_EQ(clearing.clears, 1);
    EXPECT_EQ(clipboard.changes, 1u) << "the toolkit's clipboard was not written";
    clock.advance(1000);
    ticker.tick();
    EXPECT_EQ(clearing.clears, 1) << "cleared once per copy";
}

// Where the clipboard may be set only while our own window has the focus, a
// due clear waits for it, says so, and happens as soon as the focus comes back.
TEST(FrameClipboardClear, AClearThatWaitsForOurWindowIsTriedUntilItHasTheFocus) {
    bool ownFocus = false;
    FakeClock clock;
    FakeClipboard clipboard;
    FocusedClipboardClearing clearing(clipboard, [&ownFocus] { return ownFocus; });
    FakeFrameMonitor monitor;
    FrameTicker ticker{clock, clipboard, monitor, &clearing};
    clock.set(36'000'00);
    ticker.setClipboardSeconds(5);
    clipboard.setText("secret");
    ticker.tick();
    clock.advance(501);
    EXPECT_EQ(ticker.tick().countdown, "Clipboard clears when Quillock's window is active");
    clock.advance(1000);
    EXPECT_EQ(ticker.tick().countdown, "Clipboard clears when Quillock's window is active");
    EXPECT_EQ(clipboard.text(), "secret");
    ownFocus = true;
    clock.advance(20);
    ticker.tick();
    EXPECT_EQ(clipboard.text(), "");
    clock.advance(20);
    EXPECT_EQ(ticker.tick().countdown, "Monitor Off") << "the countdown ended with the clear";
}

TEST(FrameClipboardClear, EmptyingByHandEndsTheCountdownAndClosingLeavesTheMark) {
    Frame f;
    f.clock.set(100'000);
    f.ticker.setClipboardSeconds(30);
    f.clipboard.setText("secret");
    f.ticker.tick();
    EXPECT_FALSE(f.tickAfter(20).countdown.startsWith("Monitor"));
    f.clipboard.setText("");
    EXPECT_EQ(f.tickAfter(20).countdown, "Monitor Off");
    f.ticker.clearClipboardOnClose();
    EXPECT_EQ(f.clipboard.text(), kClipboardClosingText);

    Frame off; // clearing switched off: the clipboard is left alone on close
    off.clipboard.setText("keep");
    off.ticker.clearClipboardOnClose();
    EXPECT_EQ(off.clipboard.text(), "keep");
}

TEST(FrameClipboardClear, ReadsTheClipboardOnlyWhenItChanged) {
    struct CountingClipboard : FakeClipboard {
        int reads = 0;
        QString text() override { ++reads; return contents; }
    };
    FakeClock clock;
    CountingClipboard clipboard;
    FakeFrameMonitor monitor;
    FrameTicker ticker(clock, clipboard, monitor);
    ticker.setClipboardSeconds(30);
    clipboard.setText("x");
    for (int i = 0; i < 50; ++i) { clock.advance(20); ticker.tick(); }
    EXPECT_EQ(clipboard.reads, 1);
}

TEST(FrameClipboardClear, ACountdownStartedBeforeMidnightEndsAfterIt) {
    Frame f;
    f.ticker.setClipboardSeconds(30);
    f.clock.set(kHundredthsPerDay - 1000); // ten seconds before midnight
    f.clipboard.setText("secret");
    f.ticker.tick();
    EXPECT_GT(f.ticker.clipboardDue(), kHundredthsPerDay);
    for (int i = 0; i < 60; ++i) f.tickAfter(20);      // 12 s: just past midnight
    EXPECT_EQ(f.clipboard.text(), "secret");
    EXPECT_LE(f.ticker.clipboardDue(), kHundredthsPerDay); // moved into the new day
    for (int i = 0; i < 100; ++i) f.tickAfter(20);     // 20 s more
    EXPECT_EQ(f.clipboard.text(), "");
}

TEST(FrameCloseDown, InactivityCountdownWinsZoneTwoAndIsRearmedOnlyByUserEvents) {
    Frame f;
    f.clock.set(200'000);
    int closeDowns = 0;
    f.ticker.onCloseDownDue = [&] { ++closeDowns; };
    f.ticker.setClipboardSeconds(30);
    f.ticker.setInactivityMinutes(1);
    f.clipboard.setText("secret");
    EXPECT_EQ(f.tickAfter(20).countdown, "59 seconds to shutdown");
    for (int i = 0; i < 200; ++i) f.tickAfter(20); // ticks never re-arm the countdown
    EXPECT_EQ(f.ticker.tick().countdown, "19 seconds to shutdown");
    f.ticker.userActivity();
    EXPECT_EQ(f.tickAfter(20).countdown, "59 seconds to shutdown");
    for (int i = 0; i < 300; ++i) f.tickAfter(20);
    EXPECT_EQ(closeDowns, 1);
}

TEST(FrameCloseDown, ACloseDownDueAfterMidnightHappensAfterIt) {
    Frame f;
    int closeDowns = 0;
    f.ticker.onCloseDownDue = [&] { ++closeDowns; };
    f.clock.set(kHundredthsPerDay - 3000); // 30 s before midnight
    f.ticker.setInactivityMinutes(1);
    for (int i = 0; i < 200; ++i) f.tickAfter(20); // 40 s: 10 s into the new day
    EXPECT_EQ(closeDowns, 0);
    for (int i = 0; i < 150; ++i) f.tickAfter(20); // 30 s more: due at 30 s
    EXPECT_EQ(closeDowns, 1);
}

// Options take any 32-bit number: 400,000 minutes is about 278 days and
// 30,000,000 seconds about 347 days, both past what 32-bit hundredths hold.
TEST(FrameCloseDown, HugeTimesCountDownWholeAndFireOnlyWhenDue) {
    Frame f;
    int closeDowns = 0;
    f.ticker.onCloseDownDue = [&] { ++closeDowns; };
    f.clock.set(4'000'000);
    f.ticker.setInactivityMinutes(400'000);
    f.ticker.setClipboardSeconds(30'000'000);
    f.clipboard.setText("secret");
    EXPECT_EQ(f.ticker.tick().countdown, "24000000 seconds to shutdown");
    f.ticker.setInactivityMinutes(0);
    EXPECT_EQ(f.tickAfter(100).countdown, "29999999 seconds to clipboard clear");
    f.ticker.setInactivityMinutes(400'000);
    for (int day = 0; day < 277; ++day) {
        f.clock.day += 1;
        for (int32_t at : {1, 2000, 4999, 5001, 4'000'000, kHundredthsPerDay})
            f.clock.set(at), f.ticker.tick();
    }
    EXPECT_EQ(closeDowns, 0);
    EXPECT_EQ(f.clipboard.text(), "secret");
    // Re-armed at 4,000,100: due 2,400,000,000 later, 278 days on at 2,080,100.
    f.clock.day += 1;
    f.clock.set(2'080'000);
    EXPECT_EQ(f.ticker.tick().countdown, "1 seconds to shutdown");
    f.tickAfter(200);
    EXPECT_EQ(closeDowns, 1);
    EXPECT_EQ(f.clipboard.text(), "secret");
    // Due 3,000,000,000 after 4,000,000: 347 days on at 5,920,000.
    f.clock.day += 69;
    f.clock.set(5'919'900);
    f.ticker.tick();
    EXPECT_EQ(f.clipboard.text(), "secret");
    f.tickAfter(200);
    EXPECT_EQ(f.clipboard.text(), "");
}

TEST(FrameMonitoring, TickRunsTheCycleOnlyWithRowsAndSwitchOrForcedRun) {
    Frame f;
    f.ticker.tick();
    f.monitor.queued = 2;
    f.ticker.tick();
    EXPECT_TRUE(f.monitor.runs.empty());
    f.ticker.runMonitorNow();
    f.ticker.tick();
    EXPECT_EQ(f.monitor.runs, (std::vector<bool>{true, true}));
    EXPECT_EQ(f.ticker.monitorIndicator(), " ");
    f.ticker.toggleMonitoring();
    EXPECT_EQ(f.monitor.reloads, 1);
    EXPECT_EQ(f.monitor.queued, 0);
    f.monitor.queued = 1;
    EXPECT_EQ(f.ticker.monitorIndicator(), "*");
    f.ticker.toggleMonitoring();
    EXPECT_FALSE(f.ticker.monitoringOn());
    EXPECT_EQ(f.monitor.queued, 0);
}

TEST(FrameTexts, FilterAndDateAndTimeTexts) {
    EXPECT_EQ(filterClipboardText(QString("  a\tb   c[d]")), "ab cd");
    EXPECT_EQ(filterClipboardText(QString("x_y{z}~ 1,2.")), "xyz 1,2.");
    EXPECT_EQ(filterClipboardText(QString("ab") + QChar(0) + "cd"), "ab");
    EXPECT_EQ(filterClipboardText(QString::fromUtf8("caf\u00e9 ok  ")), "caf ok");

    const int32_t tuesday = dayNumber(QDate(2026, 12, 8));
    EXPECT_EQ(tuesday % 7, 2);
    EXPECT_EQ(frameDateText(tuesday), "Tuesday, December 8, 2026");
    EXPECT_EQ(frameDateText(dayNumber(QDate(1801, 1, 4))), "Sunday, January 4, 1801");
}
