#include "keys/SendStopped.h"
#include "monitor/MonitorMessages.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/SystemClock.h"
#include "tests/monitor/support/MonitorFakes.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace ql;
using ql::testing::FakeWatchedEntries;
using ql::testing::RecordingKeySender;

namespace {

constexpr int32_t kSecond = 100;

WatchedEntry entry(const QString& pattern, const QString& text, int wait = 0, int repeat = 0) {
    WatchedEntry e;
    e.titlePattern = pattern;
    e.sendText = text;
    e.secondsToWait = wait;
    e.doNotRepeatSeconds = repeat;
    e.user = "alice";
    return e;
}

// A fake clock that lets a test act while the code under test processes events.
struct HookedClock : FakeClock {
    std::function<void()> onPass;
    void processEvents() override {
        FakeClock::processEvents();
        if (onPass) onPass();
    }
};

// A monitor over a fake desktop, keyboard, clock and message boxes.
struct Rig {
    FakeWindowSystem desktop;
    RecordingKeySender keys{&desktop};
    HookedClock clock;
    ScriptedPrompter prompter;
    FakeWatchedEntries entries;
    WindowMonitor monitor;

    explicit Rig(MonitorPolicy policy = MonitorPolicy::mainProgram())
        : monitor({desktop, keys, clock, prompter, entries}, withoutPause(policy)) {
        clock.set(10 * 3600 * kSecond);
        clock.stepPerPass = 0;
        monitor.switchMonitoring(true);
    }
    static MonitorPolicy withoutPause(MonitorPolicy p) {
        p.settlePollMilliseconds = 0;
        return p;
    }
    void watch(std::vector<WatchedEntry> list) {
        entries.byUser["alice"] = std::move(list);
        monitor.watchUser("alice", WatchAction::Load);
        monitor.processWatchedUsers();
    }
    void tick(bool forced = false) { monitor.runMonitorCycle(forced); }
    size_t queued() { return monitor.lists().queueSize(); }
};

} // namespace

TEST(MonitorCycle, DueTestAcrossMidnightAndTheLateEveningRule) {
    EXPECT_TRUE(MonitorCycle::isDue(1000, 1000));
    EXPECT_FALSE(MonitorCycle::isDue(1000, 999));
    EXPECT_TRUE(MonitorCycle::isDue(kHundredthsPerDay, kHundredthsPerDay));
    // Beyond the end of the day: due after midnight, not late the same evening.
    EXPECT_FALSE(MonitorCycle::isDue(8'640'300, 8'639'900));
    EXPECT_FALSE(MonitorCycle::isDue(8'640'300, 300));
    EXPECT_TRUE(MonitorCycle::isDue(8'640'300, 301));
    EXPECT_TRUE(MonitorCycle::isDue(8'640'300, 8'280'000));
    EXPECT_FALSE(MonitorCycle::isDue(8'640'300, 8'280'001));
}

TEST(MonitorCycle, RowDueJustBeforeMidnightIsSentJustAfterIt) {
    Rig rig;
    rig.desktop.addWindow(100, "Login");
    rig.clock.set(8'639'800);
    rig.watch({entry("Login", "jdoe", 5)});
    ASSERT_EQ(rig.queued(), 1u);
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].dueTime, 8'640'300);

    rig.tick();
    EXPECT_TRUE(rig.keys.sent.empty()) << "not at once, the same evening";
    rig.clock.advance(400); // 00:00:04
    rig.tick();
    EXPECT_TRUE(rig.keys.sent.empty());
    rig.clock.advance(101);
    rig.tick();
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"jdoe"});
}

TEST(MonitorCycle, RepeatIntervalDecidesWhetherAWatchedRowIsSentAgain) {
    Rig rig;
    rig.desktop.addWindow(100, "Once");
    rig.desktop.addWindow(200, "Again");
    rig.watch({entry("Once", "one"), entry("Again", "two", 0, 30)});

    rig.tick();
    EXPECT_EQ(rig.keys.sent.size(), 2u);
    EXPECT_EQ(rig.queued(), 1u) << "a row without repeat goes after its send";
    const int32_t sentAt = rig.clock.now();
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].dueTime, sentAt + 30 * kSecond + 50);

    rig.clock.advance(30 * kSecond + 49);
    rig.tick();
    EXPECT_EQ(rig.keys.sent.size(), 2u) << "not before 30.5 seconds";
    rig.clock.advance(1);
    rig.tick();
    EXPECT_EQ(rig.keys.texts(), (std::vector<QString>{"one", "two", "two"}));
    rig.clock.advance(30 * kSecond + 50);
    rig.tick();
    EXPECT_EQ(rig.keys.sent.size(), 4u) << "again after each send while the window stays";

    // A reload brings the one-time row back for one more send.
    rig.monitor.watchUser("alice", WatchAction::Changed);
    rig.monitor.processWatchedUsers();
    rig.tick();
    EXPECT_EQ(rig.keys.texts(), (std::vector<QString>{"one", "two", "two", "two", "one", "two"}));
}

TEST(MonitorCycle, WatchedRowWaitsForItsWindow) {
    Rig rig;
    rig.watch({entry("Login*", "jdoe")});
    for (int i = 0; i < 3; ++i) rig.tick();
    EXPECT_TRUE(rig.keys.sent.empty());
    EXPECT_TRUE(rig.prompter.asked.empty()) << "a missing watched window is not reported";
    EXPECT_EQ(rig.queued(), 1u);

    rig.desktop.addWindow(500, "Login - Bank");
    rig.tick();
    ASSERT_EQ(rig.keys.sent.size(), 1u);
    EXPECT_EQ(rig.keys.sent[0].focused, 500u) << "the window was brought forward first";
    EXPECT_EQ(rig.keys.sent[0].target, 500u) << "and it is the one the send guards";
    EXPECT_FALSE(rig.keys.sent[0].direct);
}

TEST(MonitorCycle, PatternsFittingOneWindowGoFromTheLaterPatternToTheEarlier) {
    Rig rig;
    rig.desktop.addWindow(100, "Login - Bank");
    rig.watch({entry("Login*", "first"), entry("*Bank", "second"), entry("Login - Bank", "third")});
    rig.tick();
    // Sorted: "*Bank" < "Login - Bank" < "Login*"; walked from the last row.
    EXPECT_EQ(rig.keys.texts(), (std::vector<QString>{"first", "third", "second"}));
}

TEST(MonitorCycle, OneShotWithoutWindowIsReportedAndDropped) {
    Rig rig;
    rig.monitor.queueOneShotSend(entry("Missing Window   ", "x"));
    rig.tick();
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_EQ(rig.prompter.asked[0].title, "Cannot Send");
    EXPECT_EQ(rig.prompter.asked[0].text,
              "The associated window does not exist (Missing Window).");
    EXPECT_EQ(rig.prompter.asked[0].buttons, int(PromptButton::Ok));
    EXPECT_EQ(rig.queued(), 0u);
    EXPECT_TRUE(rig.keys.sent.empty());
}

TEST(MonitorCycle, DirectSendGoesToTheFoundWindowElseIntoTheForeground) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    WatchedEntry direct = entry("Target", "secret   ");
    direct.directSend = true;
    rig.monitor.queueOneShotSend(direct);
    rig.tick();
    ASSERT_EQ(rig.keys.sent.size(), 1u);
    EXPECT_TRUE(rig.keys.sent[0].direct);
    EXPECT_EQ(rig.keys.sent[0].target, 100u);
    EXPECT_EQ(rig.keys.sent[0].focusMode, 1);
    EXPECT_EQ(rig.keys.sent[0].text, "secret   ") << "trailing blanks are part of the text";

    // A blank pattern sends to this program's own focused window.
    rig.desktop.ownFocused = 77;
    WatchedEntry blank = direct;
    blank.titlePattern = "   ";
    rig.monitor.queueOneShotSend(blank);
    rig.tick();
    ASSERT_EQ(rig.keys.sent.size(), 2u);
    EXPECT_EQ(rig.keys.sent[1].target, 77u);
    EXPECT_TRUE(rig.prompter.asked.empty());

    // Without a focused window of our own the text is played into the foreground.
    rig.desktop.ownFocused = 0;
    rig.monitor.queueOneShotSend(blank);
    rig.tick();
    ASSERT_EQ(rig.keys.sent.size(), 3u);
    EXPECT_FALSE(rig.keys.sent[2].direct);
}

TEST(MonitorCycle, ForcedRunsWithMonitoringOff) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    rig.watch({entry("Zzz", "watched")}); // walked before the one-shot row
    rig.monitor.lists().setMonitoringOn(false);
    rig.monitor.queueOneShotSend(entry("Target", "now"));

    rig.tick(false);
    EXPECT_TRUE(rig.keys.sent.empty()) << "monitoring off and not forced: nothing runs";
    EXPECT_EQ(rig.queued(), 2u);

    // Forced: leftover watched rows go, the one-shot row is sent, and the
    // emptied queue clears this run's forced flag.
    EXPECT_FALSE(rig.monitor.runMonitorCycle(true));
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"now"});
    EXPECT_EQ(rig.queued(), 0u);

    rig.monitor.queueOneShotSend(entry("Target", "later", 60));
    EXPECT_TRUE(rig.monitor.runMonitorCycle(true)) << "nothing sent: the flag stays";
}

TEST(MonitorCycle, SwitchingMonitoringOffAndOnReloadsWithFreshDueTimes) {
    Rig rig;
    rig.watch({entry("A", "a", 10), entry("B", "b", 20)});
    const int32_t firstLoad = rig.clock.now();
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].dueTime, firstLoad + 10 * kSecond);

    rig.monitor.switchMonitoring(false);
    EXPECT_EQ(rig.queued(), 0u);
    rig.clock.advance(60 * kSecond);
    rig.monitor.switchMonitoring(true);
    EXPECT_EQ(rig.queued(), 0u);
    rig.monitor.processWatchedUsers();
    auto rows = rig.monitor.lists().queueRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].dueTime, rig.clock.now() + 10 * kSecond);
    EXPECT_EQ(rows[1].dueTime, rig.clock.now() + 20 * kSecond);
}

TEST(MonitorCycle, SettleWaitSendsOnlyToTheSameWindow) {
    Rig rig(MonitorPolicy::monitorProgram());
    rig.desktop.addWindow(100, "Login - Bank");
    rig.watch({entry("Login*", "jdoe", 2)});
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].settleSeconds, 2);
    rig.clock.advance(2 * kSecond);
    rig.clock.stepPerPass = 10;

    // The window is replaced by another of the same title during the wait.
    rig.clock.onPass = [&] {
        if (rig.clock.passes == 5) {
            rig.desktop.removeWindow(100);
            rig.desktop.addWindow(101, "Login - Bank");
        }
    };
    int32_t start = rig.clock.now();
    rig.tick();
    EXPECT_GE(rig.clock.now() - start, 2 * kSecond) << "waited the settle time";
    EXPECT_TRUE(rig.keys.sent.empty());
    EXPECT_EQ(rig.queued(), 1u);

    // Next tick: the new window stays through its wait and gets the text.
    rig.clock.onPass = nullptr;
    rig.tick();
    ASSERT_EQ(rig.keys.sent.size(), 1u);
    EXPECT_EQ(rig.keys.sent[0].focused, 101u) << "brought forward and given the focus";
    EXPECT_EQ(rig.desktop.activations.back(), 101u);

    // A window that closes during the wait gets nothing.
    rig.watch({entry("Other", "x", 1)});
    rig.desktop.addWindow(300, "Other");
    rig.clock.advance(kSecond);
    rig.clock.onPass = [&] { rig.desktop.removeWindow(300); };
    rig.tick();
    EXPECT_EQ(rig.keys.sent.size(), 1u);
}

TEST(MonitorCycle, SettleWaitEndsWhenTheClockPassesMidnight) {
    Rig rig(MonitorPolicy::monitorProgram());
    rig.desktop.addWindow(100, "Login");
    rig.clock.set(8'639'000);
    rig.watch({entry("Login", "jdoe", 5)});
    rig.clock.set(8'639'500);
    rig.clock.stepPerPass = 20'000; // a long stall in event processing
    rig.tick();
    EXPECT_TRUE(rig.keys.sent.empty());
    EXPECT_LT(rig.clock.passes, 5) << "the wait does not run until the same time tomorrow";
}

TEST(MonitorCycle, FocusLostDuringASendIsReportedAndNotRetyped) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    rig.watch({entry("Target", "jdoe", 0, 10)});
    rig.keys.nextOutcome = SendOutcome::FocusLost;
    rig.tick();
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_EQ(rig.prompter.asked[0].title, "Send Stopped");
    EXPECT_EQ(rig.prompter.asked[0].text,
              "The keyboard focus left the target window, so the rest of the text was not sent.");
    rig.tick();
    EXPECT_EQ(rig.keys.sent.size(), 1u) << "rescheduled as after a send";
    EXPECT_EQ(rig.queued(), 1u);

    Rig bare; // no keyboard on this desktop: said so, and the one-shot row is dropped
    bare.desktop.addWindow(100, "Target");
    bare.keys.nextOutcome = SendOutcome::NoKeyboard;
    bare.watch({entry("Target", "jdoe", 0, 0)});
    bare.tick();
    ASSERT_EQ(bare.prompter.asked.size(), 1u);
    EXPECT_EQ(bare.prompter.asked[0].title, "Cannot Send");
    EXPECT_EQ(bare.prompter.asked[0].text,
              "Keystrokes cannot be sent on this desktop (it needs an X11 display, or a Wayland "
              "compositor that offers a virtual keyboard), so nothing was sent.");
    EXPECT_EQ(bare.queued(), 0u);

    Rig refused; // the desktop did not let us type: said so plainly
    refused.desktop.addWindow(100, "Target");
    refused.keys.nextOutcome = SendOutcome::NotAllowed;
    refused.watch({entry("Target", "jdoe", 0, 0)});
    refused.tick();
    ASSERT_EQ(refused.prompter.asked.size(), 1u);
    EXPECT_EQ(refused.prompter.asked[0].title, "Cannot Send");
    EXPECT_EQ(refused.prompter.asked[0].text, kNotAllowedText);
}

TEST(MonitorCycle, ReentryDuringASendDoesNotDeadlockOrRepeat) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    rig.watch({entry("Target", "watched", 0, 5)});
    int nested = 0;
    rig.keys.duringSend = [&] {
        if (nested++ > 0) return;
        // Events processed inside a send: the timer ticks again, a list asks
        // for a one-shot send, and the user is reloaded.
        rig.tick();
        WatchedEntry first = entry("Aaa", "queued inside");
        WatchedEntry second = entry("Zzz", "queued inside too");
        first.user = second.user = "bob";
        rig.monitor.queueOneShotSend(first);
        rig.monitor.queueOneShotSend(second);
        rig.monitor.watchUser("alice", WatchAction::Changed);
        rig.monitor.processWatchedUsers();
    };
    rig.tick();
    EXPECT_EQ(rig.keys.texts(), std::vector<QString>{"watched"})
        << "the nested tick returned at once";
    // The rows inserted meanwhile are handled by the next tick.
    rig.keys.duringSend = nullptr;
    rig.desktop.addWindow(200, "Aaa");
    rig.desktop.addWindow(300, "Zzz");
    rig.tick();
    EXPECT_EQ(rig.keys.texts(), (std::vector<QString>{"watched", "queued inside too",
                                                      "queued inside", "watched"}));
}

// Asking for the focus never waits inside a tick: the answer is looked at on
// the following ticks, so a window that refuses the focus costs each tick
// nothing and the program keeps answering.
TEST(MonitorFocus, AWindowThatRefusesTheFocusNeverHoldsATickUp) {
    // A millisecond per pass of event processing: yielding is cheap, while any
    // wait for the focus inside a tick would run the clock up to its deadline.
    struct MillisecondClock : FakeClock {
        void processEvents() override {
            if (++passes % 10 == 0) advance(1);
        }
    };
    for (MonitorPolicy policy : {MonitorPolicy::mainProgram(), MonitorPolicy::monitorProgram()}) {
        FakeWindowSystem desktop;
        desktop.addWindow(100, "Target");
        desktop.refusing = {100};
        desktop.focused = 55; // some other program's window is in front
        RecordingKeySender keys(&desktop);
        MillisecondClock clock;
        clock.set(10 * 3600 * kSecond);
        ScriptedPrompter prompter;
        FakeWatchedEntries entries;
        entries.byUser["alice"] = {entry("Target", "watched", 0, 30)};
        WindowMonitor monitor({desktop, keys, clock, prompter, entries}, Rig::withoutPause(policy));
        monitor.switchMonitoring(true);
        monitor.loadWatchedEntries("alice");
        monitor.queueOneShotSend(entry("Target", "one shot"));
        int32_t longest = 0;
        for (int tick = 0; tick < 400; ++tick) { // 80 seconds at 0.2 s a tick
            const int32_t before = clock.now();
            monitor.runMonitorCycle(false);
            longest = std::max(longest, clock.now() - before);
            clock.advance(20);
        }
        EXPECT_LT(longest, 2) << "each tick under 20 ms";
        EXPECT_TRUE(keys.sent.empty()) << "nothing typed into the window in front";
        ASSERT_EQ(prompter.asked.size(), 1u) << "only the one-shot send is reported";
        EXPECT_EQ(prompter.asked[0].title, "Cannot Send");
        EXPECT_EQ(monitor.lists().queueSize(), 1u) << "the watched row waits";
        // The watched window is asked again once per repeat interval, not on every
        // tick: a polite request and a direct one per try, a try every 31 seconds.
        EXPECT_LE(desktop.activations.size(), 10u);
        EXPECT_EQ(desktop.focused, 55u);
    }
}

TEST(MonitorFocus, FocusThatArrivesOnALaterTickSendsThenAndOnlyThen) {
    struct SlowDesktop : FakeWindowSystem { // takes the focus only when set directly
        void requestFocus(WindowHandle window, FocusWay way) override {
            activations.push_back(window);
            ways.push_back(way);
            if (way == FocusWay::Direct && exists(window)) focused = window;
        }
    };
    SlowDesktop desktop;
    desktop.addWindow(100, "Target");
    RecordingKeySender keys(&desktop);
    FakeClock clock;
    clock.set(10 * 3600 * kSecond);
    ScriptedPrompter prompter;
    FakeWatchedEntries entries;
    WindowMonitor monitor({desktop, keys, clock, prompter, entries}, MonitorPolicy::mainProgram());
    monitor.switchMonitoring(true);
    monitor.queueOneShotSend(entry("Target", "one shot"));
    monitor.runMonitorCycle(false);
    EXPECT_TRUE(keys.sent.empty());
    EXPECT_EQ(desktop.ways, std::vector<FocusWay>{FocusWay::Restore});
    clock.advance(20);
    monitor.runMonitorCycle(false);
    ASSERT_EQ(keys.sent.size(), 1u);
    EXPECT_EQ(keys.sent[0].focused, 100u);
    EXPECT_EQ(keys.sent[0].target, 100u) << "the sender guards the found window";
    EXPECT_TRUE(prompter.asked.empty());
}

// The sender gives the found window the focus itself; when it cannot, nothing
// was typed: a one-shot send is reported as missing, a watched row waits.
TEST(MonitorFocus, ASendThatCannotTakeTheFocusTypesNothingAndWaitsOrReports) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    rig.watch({entry("Target", "watched", 0, 10)});
    rig.keys.nextOutcome = SendOutcome::NotFocused;
    rig.tick();
    EXPECT_TRUE(rig.prompter.asked.empty());
    EXPECT_EQ(rig.monitor.lists().queueRows()[0].dueTime, rig.clock.now()) << "not rescheduled";
    rig.monitor.queueOneShotSend(entry("Target", "one shot"));
    rig.tick();
    ASSERT_EQ(rig.prompter.asked.size(), 1u);
    EXPECT_EQ(rig.prompter.asked[0].text, "The associated window does not exist (Target).");
    EXPECT_EQ(rig.queued(), 1u);
}

TEST(MonitorFocus, StoppedSendsSayWhy) {
    Rig rig;
    rig.desktop.addWindow(100, "Target");
    rig.keys.nextOutcome = SendOutcome::ModifiersHeld;
    rig.monitor.queueOneShotSend(entry("Target", "x"));
    rig.tick();
    rig.keys.nextOutcome = SendResult(SendOutcome::Untypable, U'\u20ac');
    rig.monitor.queueOneShotSend(entry("Target", "y"));
    rig.tick();
    ASSERT_EQ(rig.prompter.asked.size(), 2u);
    EXPECT_EQ(rig.prompter.asked[0].title, "Send Stopped");
    EXPECT_TRUE(rig.prompter.asked[0].text.startsWith("A key such as Ctrl, Alt, Shift or Super"));
    EXPECT_EQ(rig.prompter.asked[1].title, "Send Stopped");
    EXPECT_TRUE(rig.prompter.asked[1].text.startsWith(
        "The character \"\u20ac\" cannot be typed with the current keyboard layout"));
    EXPECT_EQ(rig.queued(), 0u);
}

TEST(MonitorCycle, SkippedRowsYieldToTheWindowSystem) {
    Rig rig;
    rig.watch({entry("A", "a", 30), entry("B", "b", 30)});
    rig.tick();
    EXPECT_EQ(rig.clock.passes, 4) << "each pass yields once for each row not due";
}
