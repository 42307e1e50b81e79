#include "keys/KeystrokeSender.h"
#include "keys/SendGuard.h"
#include "platform/core/FakeKeyboard.h"
#include "platform/core/FakeWindowSystem.h"
#include "platform/core/SystemClock.h"
#include <gtest/gtest.h>

namespace ql {

void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace {

// The fake clock moves one hundredth per event pass, so a wait of n hundredths
// ends on the first pass past its deadline: n + 1 hundredths later.
constexpr int waited(int n) { return n + 1; }

constexpr WindowHandle kTarget = 11;
constexpr WindowHandle kOther = 22;

struct Desk {
    FakeKeyboard keyboard;
    FakeClock clock;
    FakeWindowSystem windows;
    KeystrokeSender sender{keyboard, clock, windows, SendPacing{20, 7}};
    Desk() {
        keyboard.clock = &clock;
        sender.setIdle({});
        windows.addWindow(kTarget, "Login - Receiver");
        windows.addWindow(kOther, "Elsewhere");
        windows.focused = kTarget;
    }
    QString grouped(const QString& line) {
        EXPECT_EQ(sender.sendGrouped(line, 0), SendOutcome::Completed);
        return keyboard.typed();
    }
    QString direct(const QString& line) {
        EXPECT_EQ(sender.sendDirect(kTarget, line, 1), SendOutcome::Completed);
        return keyboard.typed();
    }
    int32_t timeOf(const QString& event) {
        auto times = keyboard.timesOf(event);
        EXPECT_EQ(times.size(), 1u) << event.toStdString();
        return times.empty() ? -1 : times.front();
    }
};

TEST(SendKeysGrouped, UnknownBracketsAndCountsAreTypedWithoutBrackets) {
    EXPECT_EQ(Desk().grouped("[Nosuchkey]"), "Nosuchkey");
    EXPECT_EQ(Desk().grouped("[TAB 3]"), "TAB 3");
    EXPECT_EQ(Desk().grouped("a[Tab]b[tabkey][^c]"), "a[Tab]b[Tab][Ctrl+C]");
    EXPECT_EQ(Desk().grouped("x[TAB"), "x[Tab]");      // no "]": the rest is one body
    EXPECT_EQ(Desk().grouped("x[no end"), "xno end");
    EXPECT_EQ(Desk().grouped("x[ab[Tab]"), "xab[Tab"); // the body runs to the first "]"
    EXPECT_EQ(Desk().grouped("[]z"), "z");
    EXPECT_EQ(Desk().grouped("ab   "), "ab   ");
    EXPECT_EQ(Desk().grouped("é€ß[Enter]"), "é€ß[Enter]");
    EXPECT_EQ(Desk().grouped("[MouseLeft2]"), "[MouseLeft2]");
}

// A line ending in a password that ends in blanks types them: they are part
// of the password, on both ways of sending.
TEST(SendKeys, LeadingAndTrailingBlanksOfALineAreTyped) {
    const QString line = "user name with spaces [Tab]   leading and trailing   ";
    const QString typed = "user name with spaces [Tab]   leading and trailing   ";
    EXPECT_EQ(Desk().grouped(line), typed);
    EXPECT_EQ(Desk().direct(line), typed);
    EXPECT_EQ(Desk().grouped("x[Enter]  "), "x[Enter]  ");
}

TEST(SendKeysGrouped, PauseOnlyPausesAndWaitPressesNothing) {
    Desk d;
    EXPECT_EQ(d.grouped("[PAUSE][pause]"), "");
    EXPECT_EQ(d.clock.now(), 1 + 2 * (waited(10) + waited(20)));
    Desk w;
    EXPECT_EQ(w.grouped("[WAIT=150]"), "");
    EXPECT_EQ(w.clock.now(), 1 + waited(150) + waited(10) + waited(20));
}

TEST(SendKeysGrouped, GroupsOfSevenWithPausesAfterGroupsAndBrackets) {
    Desk d;
    EXPECT_EQ(d.grouped("qrstuvwxyz[TAB]mn"), "qrstuvwxyz[Tab]mn");
    const int32_t w = d.timeOf("char w"), x = d.timeOf("char x"), z = d.timeOf("char z");
    const int32_t tab = d.timeOf("down Tab"), m = d.timeOf("char m"), n = d.timeOf("char n");
    EXPECT_EQ(d.timeOf("char q"), w);                      // one run, no pause inside
    EXPECT_EQ(x - w, waited(20));                          // QL_GD after the first group
    EXPECT_EQ(z, x);
    EXPECT_EQ(tab - z, waited(20));                        // after "xyz"
    EXPECT_EQ(m - tab, waited(10) + waited(20));           // after the bracket
    EXPECT_EQ(n, m);
}

TEST(SendKeysGrouped, PacingLimitsHold) {
    Desk d;
    d.sender.setPacing({5, 0}); // below the floor, and 0 characters a group
    d.grouped("abcdefghij[]"); // groups only form before a bracket
    EXPECT_EQ(d.timeOf("char h") - d.timeOf("char g"), waited(20));
    EXPECT_EQ(d.timeOf("char g"), d.timeOf("char a"));
    Desk slow;
    slow.sender.setPacing({50, 3});
    slow.grouped("abcd[]");
    EXPECT_EQ(slow.timeOf("char d") - slow.timeOf("char c"), waited(50));
}

TEST(SendKeysDirect, CountsRepeatKeysAndPauseOnceAfterModifiedOrControlKeys) {
    EXPECT_EQ(Desk().direct("[TAB 3]"), "[Tab][Tab][Tab]");
    EXPECT_EQ(Desk().direct("[TAB 0]"), "[Tab]");
    EXPECT_EQ(Desk().direct("[TAB x]"), "[Tab]");
    EXPECT_EQ(Desk().direct("[TAB -2]"), "[Tab]");
    EXPECT_EQ(Desk().direct("[TAB 12345]"), QString("[Tab]").repeated(1234));
    Desk v;
    EXPECT_EQ(v.direct("[^v 2]x"), "[Ctrl+V][Ctrl+V]x");
    auto downs = v.keyboard.timesOf("down V");
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1], downs[0]);
    EXPECT_EQ(v.timeOf("char x") - downs[1], waited(5));
    EXPECT_EQ(v.clock.now() - v.timeOf("char x"), waited(5)); // the closing wait
    Desk plain;
    plain.direct("ab[A]");
    EXPECT_EQ(plain.timeOf("char b"), plain.timeOf("char a")); // plain text is not paced
    EXPECT_EQ(plain.timeOf("down A"), plain.timeOf("char b"));
}

TEST(SendKeysDirect, UnknownOrOutOfReachBracketsAreTypedLiterally) {
    EXPECT_EQ(Desk().direct("[Nosuchkey]"), "[Nosuchkey]");
    EXPECT_EQ(Desk().direct("[TAB"), "[TAB");
    // "]" 34 characters on is out of reach; the Tab after it is still a key.
    Desk far;
    const QString farText = "[" + QString(33, 'x') + "]";
    EXPECT_EQ(far.direct(farText + "[Tab]"), farText + "[Tab]");
    EXPECT_EQ(far.keyboard.timesOf("char [").size(), 1u);
    EXPECT_EQ(far.keyboard.timesOf("down Tab").size(), 1u);
    // "]" exactly 33 on makes a 32-character body; not a key, so typed.
    Desk reach;
    reach.direct("[" + QString(28, 'z') + "[Tab]");
    EXPECT_EQ(reach.keyboard.timesOf("char [").size(), 1u);
    EXPECT_EQ(reach.keyboard.timesOf("down Tab").size(), 1u);
    Desk reachKey;
    reachKey.direct("[TAB" + QString(29, ' ') + "]");
    EXPECT_EQ(reachKey.keyboard.typed(), "[Tab]");
    Desk beyondKey;
    beyondKey.direct("[TAB" + QString(30, ' ') + "]");
    EXPECT_TRUE(beyondKey.keyboard.timesOf("down Tab").empty());
    EXPECT_EQ(Desk().direct("a\tb\rc"), "a[Tab]b[Enter]c");
    EXPECT_EQ(Desk().direct("[PAUSE]é€"), "[Pause]é€");
}

TEST(SendKeysDirect, WaitBodiesOnlyWait) {
    Desk d;
    EXPECT_EQ(d.direct("[WAIT=150]"), "");
    EXPECT_EQ(d.clock.now(), 1 + waited(150) + waited(5));
    Desk twice;
    EXPECT_EQ(twice.direct("a[WAIT 2]b"), "ab"); // the count does not repeat a pause
    EXPECT_EQ(twice.timeOf("char b") - twice.timeOf("char a"), waited(50));
}

TEST(SendKeysDirect, FocusModesGiveAndReturnTheFocus) {
    Desk leave;
    leave.windows.focused = kOther;
    EXPECT_EQ(leave.sender.sendDirect(kTarget, "a", 0), SendOutcome::Completed);
    EXPECT_EQ(leave.windows.focused, kOther);
    EXPECT_EQ(leave.keyboard.typed(), "a");

    Desk give;
    give.windows.focused = kOther;
    EXPECT_EQ(give.sender.sendDirect(kTarget, "a", 1), SendOutcome::Completed);
    EXPECT_EQ(give.windows.focused, kTarget);

    Desk back;
    back.windows.focused = kOther;
    EXPECT_EQ(back.sender.sendDirect(kTarget, "a", 2), SendOutcome::Completed);
    EXPECT_EQ(back.windows.focused, kOther);

    Desk gone; // the target vanished: focus never arrives, nothing is typed
    gone.windows.focused = kOther;
    EXPECT_EQ(gone.sender.sendDirect(99, "secret", 1), SendOutcome::NotFocused);
    EXPECT_EQ(gone.keyboard.typed(), "");
}

TEST(FocusGuard, BothInterpretersStopWhenTheFocusLeaves) {
    Desk direct;
    direct.keyboard.afterEach = [&] {
        if (direct.keyboard.typed() == "jd") direct.windows.focused = kOther;
    };
    EXPECT_EQ(direct.sender.sendDirect(kTarget, "jdoe[Tab]x1[Enter]", 2), SendOutcome::FocusLost);
    EXPECT_EQ(direct.keyboard.typed(), "jd");
    EXPECT_EQ(direct.windows.focused, kOther); // not pulled back

    Desk grouped;
    grouped.keyboard.afterEach = [&] {
        if (grouped.keyboard.typed() == "jdoe") grouped.windows.focused = kOther;
    };
    EXPECT_EQ(grouped.sender.sendGrouped("jdoe[Tab]x1[Enter]", 0), SendOutcome::FocusLost);
    EXPECT_EQ(grouped.keyboard.typed(), "jdoe");

    Desk started; // the window focused when the send began is the one guarded
    started.windows.focused = kOther;
    EXPECT_EQ(started.sender.sendGrouped("cd", 0), SendOutcome::Completed);
    EXPECT_EQ(started.keyboard.typed(), "cd");
}

// Keystrokes go wherever the focus is: both interpreters give it to their
// target first and type nothing when it does not come.
TEST(FocusGuard, TheTargetIsGivenTheFocusBeforeTheFirstKey) {
    for (bool direct : {false, true}) {
        Desk d;
        d.windows.focused = kOther; // the user moved elsewhere meanwhile
        SendResult r = direct ? d.sender.sendDirect(kTarget, "jdoe", 1)
                              : d.sender.sendGrouped("jdoe", kTarget);
        EXPECT_EQ(r, SendOutcome::Completed);
        EXPECT_EQ(d.windows.activations, std::vector<WindowHandle>{kTarget});
        EXPECT_EQ(d.keyboard.typed(), "jdoe");

        Desk refused;
        refused.windows.focused = kOther;
        refused.windows.refusing = {kTarget};
        r = direct ? refused.sender.sendDirect(kTarget, "jdoe", 1)
                   : refused.sender.sendGrouped("jdoe", kTarget);
        EXPECT_EQ(r, SendOutcome::NotFocused);
        EXPECT_EQ(refused.keyboard.typed(), "") << "nothing into the window in front";
        EXPECT_EQ(refused.windows.ways, (std::vector<FocusWay>{FocusWay::Ask, FocusWay::Direct}));
        EXPECT_LE(refused.clock.now(), 1 + SendGuard::kFocusWait + 5) << "about 0.4 s";
    }
}

// A modifier the user holds would turn the text into shortcuts: the send
// waits up to two seconds for it to go, before the first item and each later one.
TEST(HeldModifiers, SendWaitsForTheirReleaseOrStopsWithNoKeyDown) {
    for (bool direct : {false, true}) {
        auto send = [direct](Desk& d, const QString& line) {
            return direct ? d.sender.sendDirect(kTarget, line, 1) : d.sender.sendGrouped(line, 0);
        };
        Desk released; // Ctrl held for the first second
        released.keyboard.userHolds = [&] { return released.clock.now() < 101; };
        EXPECT_EQ(send(released, "jdoe[Tab]pw"), SendOutcome::Completed);
        EXPECT_EQ(released.keyboard.typed(), "jdoe[Tab]pw");
        EXPECT_GE(released.keyboard.events.front().time, 101) << "nothing before the release";

        Desk held; // held for good: stopped after two seconds, nothing typed
        held.keyboard.userHolds = [] { return true; };
        EXPECT_EQ(send(held, "jdoe"), SendOutcome::ModifiersHeld);
        EXPECT_EQ(held.keyboard.typed(), "");
        EXPECT_GE(held.clock.now(), 1 + SendGuard::kModifierWait);
        EXPECT_LE(held.clock.now(), 1 + waited(SendGuard::kModifierWait) + 1);

        Desk stopped; // pressed after the login, still held when the password is due
        stopped.keyboard.userHolds = [&] { return stopped.keyboard.typed().contains("[Tab]"); };
        EXPECT_EQ(send(stopped, "jdoe[Tab]pw"), SendOutcome::ModifiersHeld);
        EXPECT_EQ(stopped.keyboard.typed(), "jdoe[Tab]");
        EXPECT_EQ(stopped.keyboard.releaseAlls, 1);
        EXPECT_TRUE(stopped.keyboard.keysDown().isEmpty());
    }
}

TEST(UntypableCharacters, SendStopsBeforeTheCharacterAndSaysWhichItWas) {
    for (bool direct : {false, true}) {
        Desk d;
        d.keyboard.untypable = {U'\u20ac'};
        SendResult r = direct ? d.sender.sendDirect(kTarget, "ab\u20accd[Tab]", 1)
                              : d.sender.sendGrouped("ab\u20accd[Tab]", 0);
        EXPECT_EQ(r, SendOutcome::Untypable);
        EXPECT_EQ(r.character, U'\u20ac');
        EXPECT_EQ(d.keyboard.typed(), "ab") << "nothing after it";
        EXPECT_EQ(d.keyboard.releaseAlls, 1);
    }
    Desk bracket; // an unknown bracket name is typed, and stops the same way
    bracket.keyboard.untypable = {U'q'};
    EXPECT_EQ(bracket.sender.sendGrouped("x[Nosuchq]y", 0).character, U'q');
    EXPECT_EQ(bracket.keyboard.typed(), "xNosuch");
}

// A keyboard that makes its own keys for the characters learns the whole line
// before the first key, once per send, and only when the send goes ahead.
TEST(KeystrokeSender, TheKeyboardIsToldTheWholeLineBeforeItsFirstKey) {
    for (bool direct : {false, true}) {
        Desk d;
        const QString line = "jdoe[Tab]p\u20acss[Enter]";
        EXPECT_EQ(direct ? d.sender.sendDirect(kTarget, line, 1) : d.sender.sendGrouped(line, kTarget),
                  SendOutcome::Completed);
        ASSERT_EQ(d.keyboard.preparedLines.size(), 1u);
        EXPECT_EQ(d.keyboard.preparedLines[0].first, line);
        EXPECT_EQ(d.keyboard.preparedLines[0].second, 0u) << "before any key";

        Desk refused;
        refused.windows.focused = kOther;
        refused.windows.refusing = {kTarget};
        EXPECT_EQ(direct ? refused.sender.sendDirect(kTarget, line, 1) : refused.sender.sendGrouped(line, kTarget),
                  SendOutcome::NotFocused);
        EXPECT_TRUE(refused.keyboard.preparedLines.empty());
    }
}

TEST(KeystrokeSender, WithoutAKeyboardNothingIsSentAndTheCallerIsTold) {
    Desk d;
    d.keyboard.present = false;
    EXPECT_EQ(d.sender.sendGrouped("jdoe[Tab]", 0), SendOutcome::NoKeyboard);
    EXPECT_EQ(d.sender.sendDirect(kTarget, "jdoe[Tab]", 1), SendOutcome::NoKeyboard);
    EXPECT_TRUE(d.keyboard.events.empty());
}

// Where the desktop types only with the user's leave, a refusal stops both
// interpreters before the focus is touched or any key pressed.
TEST(KeystrokeSender, ASendTheDesktopDoesNotAllowTypesNothing) {
    Desk d;
    d.keyboard.allowed = false;
    EXPECT_EQ(d.sender.sendGrouped("jdoe[Tab]", kTarget), SendOutcome::NotAllowed);
    EXPECT_EQ(d.sender.sendDirect(kTarget, "jdoe[Tab]", 1), SendOutcome::NotAllowed);
    EXPECT_EQ(d.keyboard.sendsPrepared, 2);
    EXPECT_TRUE(d.keyboard.events.empty());
    EXPECT_TRUE(d.keyboard.preparedLines.empty());
}

} // namespace
} // namespace ql
