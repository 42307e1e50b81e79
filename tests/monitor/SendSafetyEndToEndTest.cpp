// End to end under a private Xvfb session: what a user does meanwhile must not
// turn a send into shortcuts or carry it into another window, and a character
// the layout cannot produce stops the send before it.
#include "keys/KeystrokeSender.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/SystemClock.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include "platform/x11windows/X11WindowSystem.h"
#include "tests/monitor/support/MonitorFakes.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>
// Xlib last: its macros (None, Bool, Status) clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ql {

void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_send_safety_x11";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

class Receiver : public ReceiverProcess {
public:
    explicit Receiver(const QString& title)
        : ReceiverProcess(QStringLiteral(QL_RECEIVER_PATH), title) {
        EXPECT_NE(window, 0u) << "the receiver did not come up";
    }
};

// A key held down by "the user": XTest on a connection of its own.
class UserKey {
public:
    explicit UserKey(KeySym sym) : display_(XOpenDisplay(nullptr)) {
        keycode_ = display_ ? XKeysymToKeycode(display_, sym) : 0;
    }
    ~UserKey() {
        release();
        if (display_) XCloseDisplay(display_);
    }
    void press() { send(true); }
    void release() { send(false); }

private:
    Display* display_;
    unsigned keycode_ = 0;
    bool down_ = false;
    void send(bool press) {
        if (!display_ || !keycode_ || down_ == press) return;
        XTestFakeKeyEvent(display_, keycode_, press ? True : False, CurrentTime);
        XSync(display_, False);
        down_ = press;
    }
};

// Keys the X server holds down right now.
int keysDown() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return -1;
    char keys[32] = {};
    XQueryKeymap(d, keys);
    XCloseDisplay(d);
    int down = 0;
    for (char byte : keys)
        for (int bit = 0; bit < 8; ++bit) down += (byte >> bit) & 1;
    return down;
}

bool focusOn(X11WindowSystem& windows, WindowHandle window) {
    windows.requestFocus(window, FocusWay::Direct);
    for (int i = 0; i < 400 && !windows.hasFocus(window); ++i) QThread::msleep(5);
    return windows.hasFocus(window);
}

// The real clock, with a hook on every pass of event processing.
struct HookedClock : SystemClock {
    std::function<void()> onPass;
    void processEvents() override {
        SystemClock::processEvents();
        if (onPass) onPass();
    }
};

// Counts the typed characters and calls the hook after the n-th.
class CountingKeyboard : public X11Keyboard {
public:
    int typed = 0;
    std::function<void(int)> afterCharacter;
    bool typeCharacter(char32_t ch, bool shift) override {
        const bool done = X11Keyboard::typeCharacter(ch, shift);
        if (done && afterCharacter) afterCharacter(++typed);
        return done;
    }
};

struct Desk {
    HookedClock clock;
    CountingKeyboard keyboard;
    X11WindowSystem windows;
    KeystrokeSender sender{keyboard, clock, windows, SendPacing{20, 7}};
    Desk() {
        app();
        sender.setIdle([] { QThread::usleep(500); });
    }
};

} // namespace

TEST(SendSafety, ASendStartedWhileCtrlIsHeldWaitsAndTypesOnceItIsReleased) {
    Desk desk;
    Receiver receiver("Held - Receiver");
    ASSERT_TRUE(focusOn(desk.windows, receiver.window));
    UserKey ctrl(XK_Control_L);
    ctrl.press();
    int passes = 0;
    desk.clock.onPass = [&] {
        if (++passes == 20) ctrl.release(); // a short while after the send began
    };
    EXPECT_EQ(desk.sender.sendGrouped("jdoe[Tab]pw[Enter]", receiver.window),
              SendOutcome::Completed);
    EXPECT_GE(passes, 20) << "waited for the release";
    QJsonObject got = receiver.next();
    EXPECT_EQ(got["event"].toString(), "submit");
    EXPECT_EQ(got["user"].toString(), "jdoe") << "typed as text, not as Ctrl shortcuts";
    EXPECT_EQ(got["password"].toString(), "pw");
}

// The one test here that really waits: the two seconds a held key is given.
TEST(SendSafety, CtrlHeldMidLineStopsTheSendAfterTwoSecondsWithNoKeyLeftDown) {
    Desk desk;
    Receiver receiver("Stop - Receiver");
    UserKey ctrl(XK_Control_L);
    desk.keyboard.afterCharacter = [&](int n) {
        if (n == 4) ctrl.press(); // the user reaches for a shortcut after "jdoe"
    };
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(desk.sender.sendDirect(receiver.window, "jdoe[Tab]pw[Enter]", 1),
              SendOutcome::ModifiersHeld);
    EXPECT_GE(timer.elapsed(), 1900);
    ctrl.release();
    QThread::msleep(200);
    QJsonObject seen = receiver.snapshot();
    EXPECT_EQ(seen["event"].toString(), "snapshot") << "no Enter arrived";
    EXPECT_EQ(seen["user"].toString(), "jdoe");
    EXPECT_EQ(seen["password"].toString(), "");
    EXPECT_EQ(keysDown(), 0) << "no key of the send stays down";
}

// With the monitor program's settle wait: after finding the window the
// monitor waits, and the user clicks into another window meanwhile.
TEST(SendSafety, FocusMovedToAnotherWindowDuringTheSettleWaitGetsNothing) {
    Desk desk;
    Receiver target("Login - Settle");
    Receiver other("Elsewhere - Settle");
    ScriptedPrompter prompter;
    ql::testing::FakeWatchedEntries entries;
    WatchedEntry entry;
    entry.titlePattern = "Login - Settle";
    entry.sendText = "jdoe[Tab]pw[Enter]";
    entry.secondsToWait = 1;
    entry.user = "alice";
    entries.byUser["alice"] = {entry};
    WindowMonitor monitor({desk.windows, desk.sender, desk.clock, prompter, entries},
                          MonitorPolicy::monitorProgram());
    monitor.switchMonitoring(true);
    monitor.loadWatchedEntries("alice");
    bool moved = false;
    X11WindowSystem mover;
    auto rowDue = [&] {
        const std::vector<MonitorRow> rows = monitor.lists().queueRows();
        return !rows.empty() && MonitorCycle::isDue(rows[0].dueTime, desk.clock.now());
    };
    desk.clock.onPass = [&] { // in the settle wait: the row due and its window focused
        if (!moved && monitor.cycle().running() && rowDue() &&
            desk.windows.hasFocus(target.window) && desk.keyboard.typed == 0) {
            ASSERT_TRUE(focusOn(mover, other.window));
            moved = true;
        }
    };
    QElapsedTimer timer;
    timer.start();
    while (!monitor.lists().queueEmpty() && timer.elapsed() < 15000) {
        monitor.runMonitorCycle(false);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(200);
    }
    EXPECT_TRUE(moved) << "the focus was moved during the wait";
    EXPECT_TRUE(monitor.lists().queueEmpty());
    QJsonObject got = target.next();
    EXPECT_EQ(got["event"].toString(), "submit") << "typed into the window that was found";
    EXPECT_EQ(got["user"].toString(), "jdoe");
    QJsonObject elsewhere = other.snapshot();
    EXPECT_EQ(elsewhere["event"].toString(), "snapshot");
    EXPECT_EQ(elsewhere["user"].toString(), "") << "nothing typed into the other window";
    EXPECT_TRUE(prompter.asked.empty());
}

// A character missing from the layout goes on a spare keycode; with none left
// it cannot be typed at all.
TEST(SendSafety, ACharacterThatCannotBeTypedStopsTheSendAndNothingAfterItIsTyped) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    int low = 0, high = 0, perKey = 0;
    XDisplayKeycodes(d, &low, &high);
    KeySym* map = XGetKeyboardMapping(d, KeyCode(low), high - low + 1, &perKey);
    std::vector<int> spare;
    for (int kc = low; kc <= high; ++kc) {
        bool empty = true;
        for (int i = 0; i < perKey; ++i) empty = empty && map[(kc - low) * perKey + i] == NoSymbol;
        if (empty) spare.push_back(kc);
    }
    XFree(map);
    for (int kc : spare) { // every free keycode taken by something else
        KeySym filler = XK_F35;
        XChangeKeyboardMapping(d, kc, 1, &filler, 1);
    }
    XSync(d, False);
    {
        Desk desk;
        Receiver receiver("Untypable - Receiver");
        const QString line = QStringLiteral("ab") + QChar(0x01C5) + QStringLiteral("cd[Enter]");
        SendResult result = desk.sender.sendDirect(receiver.window, line, 1);
        EXPECT_EQ(result, SendOutcome::Untypable);
        EXPECT_EQ(result.character, char32_t(0x01C5));
        QThread::msleep(200);
        QJsonObject seen = receiver.snapshot();
        EXPECT_EQ(seen["event"].toString(), "snapshot") << "no Enter arrived";
        EXPECT_EQ(seen["user"].toString(), "ab");
    }
    for (int kc : spare) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(d, kc, 1, &none, 1);
    }
    XSync(d, False);
    XCloseDisplay(d);
}

} // namespace ql
