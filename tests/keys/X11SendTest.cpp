// End to end: both interpreters type into a real window under a private Xvfb
// session, on several keyboard layouts, with Caps Lock off and on.
#include "keys/KeystrokeSender.h"
#include "keys/SendText.h"
#include "platform/core/SystemClock.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include "platform/x11windows/X11WindowSystem.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>
#include <random>
// Xlib last: its macros (None, Bool, Status) clash with the headers above.
#include <X11/XKBlib.h>

namespace ql {

void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_keys_x11";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// One ql_receiver window, up with the focus.
class Receiver : public ReceiverProcess {
public:
    explicit Receiver(const QString& title) : ReceiverProcess(QStringLiteral(QL_RECEIVER_PATH), title) {
        EXPECT_NE(window, 0u) << "the receiver did not come up";
    }
};

void setLayout(const QString& layout) {
    ASSERT_EQ(QProcess::execute("setxkbmap", {"-layout", layout}), 0) << layout.toStdString();
}

void lockGroup(unsigned group) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XkbLockGroup(d, XkbUseCoreKbd, group);
    XSync(d, False);
    XCloseDisplay(d);
}

void setCapsLock(bool on) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XkbLockModifiers(d, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
    XSync(d, False);
    XCloseDisplay(d);
}

// Printable ASCII and a few letters that many layouts lack. No "[": values go
// into the key language unescaped, so a "[" could turn the rest into a key name.
QString randomValue(std::mt19937& rng, int maxLength) {
    static const QString extra = QStringLiteral("éß€ñЖ");
    std::uniform_int_distribution<int> length(1, maxLength), pick(0, 95 - 1 + 5 - 1);
    QString value;
    for (int n = length(rng); value.size() < n;) {
        int i = pick(rng);
        QChar c = i < 95 ? QChar(32 + i) : extra[i - 95];
        if (c != u'[') value += c;
    }
    // Every third value begins and ends in blanks: they are part of it.
    if (length(rng) % 3 == 0) value = QStringLiteral("  ") + value + QStringLiteral("   ");
    return value;
}

// Calls `hook` after the given number of typed characters.
class TriggerKeyboard : public Keyboard {
public:
    TriggerKeyboard(Keyboard& inner, int after, std::function<void()> hook)
        : inner_(inner), after_(after), hook_(std::move(hook)) {}
    bool available() const override { return inner_.available(); }
    void keyDown(int vk) override { inner_.keyDown(vk); }
    void keyUp(int vk) override { inner_.keyUp(vk); }
    bool capsLockOn() override { return inner_.capsLockOn(); }
    void click(int b, int c) override { inner_.click(b, c); }
    bool modifiersHeld() override { return inner_.modifiersHeld(); }
    void releaseAll() override { inner_.releaseAll(); }
    bool typeCharacter(char32_t ch, bool shift) override {
        const bool typed = inner_.typeCharacter(ch, shift);
        if (++typed_ == after_) hook_();
        return typed;
    }

private:
    Keyboard& inner_;
    int after_;
    int typed_ = 0;
    std::function<void()> hook_;
};

// Puts the focus on the window and waits until it is there.
bool focusOn(X11WindowSystem& windows, WindowHandle window) {
    windows.requestFocus(window, FocusWay::Direct);
    for (int i = 0; i < 400 && !windows.hasFocus(window); ++i) QThread::msleep(5);
    return windows.hasFocus(window);
}

struct Desktop {
    X11Keyboard keyboard;
    SystemClock clock;
    X11WindowSystem windows;
    Desktop() { app(); }
};

const QString kLoginText = "[Name][Tab][Password][Enter]";

// Sends `count` generated logins and checks each arrives exactly.
void sendLogins(Desktop& desk, Receiver& receiver, bool direct, int count, unsigned seed) {
    KeystrokeSender sender(desk.keyboard, desk.clock, desk.windows, SendPacing{20, 7});
    sender.setIdle([] { QThread::usleep(500); });
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) {
        SendFields fields;
        fields.name = randomValue(rng, 10);
        fields.password = randomValue(rng, 14);
        const QString line = ExpandSendText(kLoginText, fields);
        ASSERT_TRUE(focusOn(desk.windows, receiver.window));
        SendResult outcome = direct ? sender.sendDirect(receiver.window, line, 1)
                                    : sender.sendGrouped(line, receiver.window);
        ASSERT_EQ(outcome, SendOutcome::Completed);
        QJsonObject got = receiver.next();
        ASSERT_EQ(got["event"].toString(), "submit") << "login " << i;
        EXPECT_EQ(got["user"].toString(), fields.name) << "login " << i;
        EXPECT_EQ(got["password"].toString(), fields.password) << "login " << i;
    }
}

QStringList layoutsToTest() {
    QString env = qEnvironmentVariable("QL_TEST_LAYOUTS", "us,de,fr,us+ru,us+ru@1");
    return env.split(u',');
}

TEST(X11Send, LoginsArriveExactlyOnEveryLayoutWithCapsLockOffAndOn) {
    Desktop desk;
    ASSERT_TRUE(desk.keyboard.available());
    Receiver receiver("Login - Receiver");
    unsigned seed = 1;
    // "us+ru@1": the layouts us and ru with the second (ru) group active.
    for (const QString& layout : layoutsToTest()) {
        setLayout(layout.section(u'@', 0, 0).replace(u'+', u','));
        lockGroup(layout.section(u'@', 1).toUInt());
        for (bool caps : {false, true}) {
            SCOPED_TRACE(layout.toStdString() + (caps ? " caps on" : " caps off"));
            setCapsLock(caps);
            EXPECT_EQ(desk.keyboard.capsLockOn(), caps);
            sendLogins(desk, receiver, true, 40, seed++);
            sendLogins(desk, receiver, false, 10, seed++);
            // Spare keycodes go back after idling and are mapped afresh next time.
            QThread::msleep(300);
            desk.keyboard.releaseSpareKeys();
        }
    }
    setCapsLock(false);
    lockGroup(0);
    setLayout("us");
}

TEST(X11Send, NamedKeysAndModifiersActInTheWindow) {
    Desktop desk;
    Receiver receiver("Keys - Receiver");
    KeystrokeSender sender(desk.keyboard, desk.clock, desk.windows, SendPacing{20, 7});
    for (const char* layout : {"us", "de"}) {
        SCOPED_TRACE(layout);
        setLayout(layout);
        ASSERT_TRUE(focusOn(desk.windows, receiver.window));
        // Backspace and Home edit the name; Ctrl+A selects all so "z" replaces
        // it; Tab leaves for the notes and Shift+Tab comes back.
        ASSERT_EQ(sender.sendDirect(receiver.window,
                                    "abc[BS]d[HOME]x[Tab]old[^a]z[TAB 0][+TAB][END]e[Enter]", 1),
                  SendOutcome::Completed);
        QJsonObject got = receiver.next();
        EXPECT_EQ(got["user"].toString(), "xabd");
        EXPECT_EQ(got["password"].toString(), "ze");
        ASSERT_EQ(sender.sendGrouped("n[tabkey]p1[keyleft][BS][Enter]", receiver.window), SendOutcome::Completed);
        got = receiver.next();
        EXPECT_EQ(got["user"].toString(), "n");
        EXPECT_EQ(got["password"].toString(), "1");
    }
    setLayout("us");
}

void movePointer(QPoint to) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XWarpPointer(d, 0, DefaultRootWindow(d), 0, 0, 0, 0, to.x(), to.y());
    XSync(d, False);
    XCloseDisplay(d);
}

TEST(X11Send, MouseNamesClickWhereThePointerIs) {
    Desktop desk;
    setLayout("us");
    Receiver receiver("Mouse - Receiver");
    KeystrokeSender sender(desk.keyboard, desk.clock, desk.windows);
    // A click on the password field moves the typing there.
    movePointer(receiver.passwordAt);
    ASSERT_EQ(sender.sendDirect(receiver.window, "[MOUSELEFT]pw[Enter]", 1), SendOutcome::Completed);
    QJsonObject got = receiver.next();
    EXPECT_EQ(got["user"].toString(), "");
    EXPECT_EQ(got["password"].toString(), "pw");
    // A double click selects the word under the pointer, so typing replaces it.
    movePointer(receiver.userAt);
    ASSERT_EQ(sender.sendDirect(receiver.window, "hello[MOUSELEFT2]x", 1), SendOutcome::Completed);
    QThread::msleep(200);
    EXPECT_EQ(receiver.snapshot()["user"].toString(), "x");
}

TEST(X11Send, FocusLeavingMidLineStopsBothInterpreters) {
    Desktop desk;
    setLayout("us");
    Receiver target("Login - Receiver");
    Receiver other("Elsewhere - Receiver");
    for (bool direct : {true, false}) {
        SCOPED_TRACE(direct ? "direct" : "grouped");
        X11WindowSystem mover;
        // Grouped sending checks between groups of 7, so move after the first group.
        TriggerKeyboard keyboard(desk.keyboard, 7, [&] { focusOn(mover, other.window); });
        KeystrokeSender sender(keyboard, desk.clock, desk.windows, SendPacing{20, 7});
        ASSERT_TRUE(focusOn(desk.windows, target.window));
        const QString line = "abcdefghijklmn[Tab]secret[Enter]";
        EXPECT_EQ(direct ? sender.sendDirect(target.window, line, 1) : sender.sendGrouped(line, target.window),
                  SendOutcome::FocusLost);
        QThread::msleep(300);
        QJsonObject seen = target.snapshot();
        EXPECT_EQ(seen["event"].toString(), "snapshot"); // no submit: Enter never came
        EXPECT_EQ(seen["user"].toString(), "abcdefg");
        EXPECT_EQ(seen["password"].toString(), "");
        QJsonObject elsewhere = other.snapshot();
        EXPECT_EQ(elsewhere["event"].toString(), "snapshot");
        EXPECT_EQ(elsewhere["user"].toString(), "");
        // Clear the target for the next round.
        ASSERT_TRUE(focusOn(desk.windows, target.window));
        KeystrokeSender cleaner(desk.keyboard, desk.clock, desk.windows);
        cleaner.sendDirect(target.window, "[Tab]x[Enter]", 1);
        EXPECT_EQ(target.next()["event"].toString(), "submit");
    }
}

} // namespace
} // namespace ql
