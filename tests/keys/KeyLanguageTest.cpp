#include "keys/KeyCodes.h"
#include "keys/KeyPlayer.h"
#include "platform/core/FakeKeyboard.h"
#include "platform/core/SystemClock.h"
#include <gtest/gtest.h>

namespace ql {
namespace {

struct Player {
    FakeKeyboard keyboard;
    FakeClock clock;
    KeyPlayer player{keyboard, clock};
    Player() { keyboard.clock = &clock; }
    QString press(const QString& body) {
        ParsedKey k = player.ParseKeyToken(body);
        if (k.code) player.PressKey(k.code);
        return keyboard.typed();
    }
};

TEST(KeyNames, TableNamesMatchWholeAndIgnoreCaseAndTrailingBlanks) {
    EXPECT_EQ(LookupKeyName("TAB"), 9);
    EXPECT_EQ(LookupKeyName("tab"), 9);
    EXPECT_EQ(LookupKeyName("Enter  "), 13);
    EXPECT_EQ(LookupKeyName(" TAB"), 0);
    EXPECT_EQ(LookupKeyName("TA"), 0);
    EXPECT_EQ(LookupKeyName("CAPS"), 20);
    EXPECT_EQ(LookupKeyName("capslock"), 20);
    EXPECT_EQ(LookupKeyName("a"), 65);
    EXPECT_EQ(LookupKeyName("Z"), 90);
    EXPECT_EQ(LookupKeyName("7"), 55);
    EXPECT_EQ(LookupKeyName("pad0"), 96);
    EXPECT_EQ(LookupKeyName("PAD9"), 105);
    EXPECT_EQ(LookupKeyName("PAD10"), 0);
    EXPECT_EQ(LookupKeyName("F1"), 112);
    EXPECT_EQ(LookupKeyName("f12"), 123);
    EXPECT_EQ(LookupKeyName("F13"), 0);
    EXPECT_EQ(LookupKeyName("F0"), 0);
    EXPECT_EQ(LookupKeyName("F01"), 0);
    EXPECT_EQ(LookupKeyName("SLASH"), 111);
    EXPECT_EQ(LookupKeyName("MINUS"), 109);
    EXPECT_EQ(LookupKeyName("é"), 0);
    EXPECT_EQ(LookupKeyName(QString(QChar(0x017F))), 0); // long s upper-cases to S elsewhere
    EXPECT_EQ(LookupKeyName(""), 0);
}

TEST(KeyNames, MouseNamesYieldButtonCodes) {
    EXPECT_EQ(LookupKeyName("MOUSE"), 1);
    EXPECT_EQ(LookupKeyName("MouseLeft"), 1);
    EXPECT_EQ(LookupKeyName("MOUSERIGHT"), 2);
    EXPECT_EQ(LookupKeyName("MOUSECENTER"), 3);
    EXPECT_EQ(LookupKeyName("MOUSELEFT2"), 5);
    EXPECT_EQ(LookupKeyName("MOUSERIGHT2"), 6);
    EXPECT_EQ(LookupKeyName("MOUSECENTER2"), 7);
}

TEST(ParseKeyToken, SpellingsOfTabAllPressTab) {
    for (const char* body : {"Tab", "tab", "TAB", "tabkey", "KEYTAB", "TabKey  "}) {
        Player p;
        EXPECT_EQ(p.press(body), "[Tab]") << body;
    }
}

TEST(ParseKeyToken, PrefixesAddModifiersFromTheLeft) {
    EXPECT_EQ(Player().press("^c"), "[Ctrl+C]");
    EXPECT_EQ(Player().press("ctrl-c"), "[Ctrl+C]");
    EXPECT_EQ(Player().press("ctrl+c"), "[Ctrl+Shift+C]");
    EXPECT_EQ(Player().press("^+TAB"), "[Ctrl+Shift+Tab]");
    EXPECT_EQ(Player().press("ALT-F4"), "[Alt+F4]");
    EXPECT_EQ(Player().press("%F4"), "[Alt+F4]");
    EXPECT_EQ(Player().press("shift-tab"), "[Shift+Tab]");
    EXPECT_EQ(Player().press("CTRL-ALT-DELETE"), "[Ctrl+Alt+Delete]");
    EXPECT_EQ(Player().press("+MOUSERIGHT2"), "[Shift+MouseRight2]");
    // Modifiers on something that is not a key name leave no key.
    EXPECT_EQ(Player().player.ParseKeyToken("^nosuch").code, 0);
    EXPECT_EQ(Player().player.ParseKeyToken("+").code, 0);
    EXPECT_EQ(Player().player.ParseKeyToken("KEY").code, 0);
}

TEST(ParseKeyToken, PressKeyHoldsModifiersInShiftCtrlAltOrder) {
    Player p;
    p.player.PressKey(9 | kShiftBit | kCtrlBit | kAltBit);
    EXPECT_EQ(p.keyboard.eventTexts(),
              QStringList({"down Shift", "down Ctrl", "down Alt", "down Tab", "up Tab",
                           "up Shift", "up Ctrl", "up Alt"}));
}

TEST(ParseKeyToken, WaitPausesWhileParsingAndPressesNothing) {
    Player p;
    ParsedKey k = p.player.ParseKeyToken("WAIT");
    EXPECT_TRUE(k.pause);
    EXPECT_EQ(k.code, 0);
    EXPECT_EQ(p.clock.now(), 1 + 51); // first pass past 50 hundredths
    EXPECT_TRUE(p.keyboard.events.empty());

    Player zero;
    EXPECT_TRUE(zero.player.ParseKeyToken("wait=0").pause);
    EXPECT_EQ(zero.clock.passes, 1);

    Player twoSeconds;
    EXPECT_TRUE(twoSeconds.player.ParseKeyToken("^WAIT=200").pause);
    EXPECT_EQ(twoSeconds.clock.now(), 1 + 201);

    Player junk;
    EXPECT_TRUE(junk.player.ParseKeyToken("WAITING=x").pause);
    EXPECT_EQ(junk.clock.passes, 1);
}

TEST(TypeText, ShiftFollowsCapsLockForLettersAndTheShiftedSetOtherwise) {
    Player off;
    off.player.TypeText("aA?1é");
    EXPECT_EQ(off.keyboard.eventTexts(),
              QStringList({"char a", "char A shift", "char ? shift", "char 1", "char é"}));
    Player on;
    on.keyboard.capsLock = true;
    on.player.TypeText("Aa?Ж");
    EXPECT_EQ(on.keyboard.eventTexts(),
              QStringList({"char A", "char a shift", "char ? shift", "char Ж"}));
    EXPECT_EQ(on.keyboard.typed(), "Aa?Ж");
    for (char32_t c : U"~!@%^&*()_+|{}:\"<>?$#") {
        if (c) { EXPECT_TRUE(isShiftedCharacter(c)); }
    }
    EXPECT_FALSE(isShiftedCharacter(U'-'));
    EXPECT_FALSE(isShiftedCharacter(U'['));
}

TEST(DelayHundredths, CrossesMidnightAndAlwaysPassesOnce) {
    Player p;
    p.clock.set(kHundredthsPerDay - 10);
    int32_t day = p.clock.today();
    p.player.DelayHundredths(30);
    EXPECT_EQ(p.clock.today(), day + 1);
    EXPECT_EQ(p.clock.now(), 21); // 31 passes, 10 of them before midnight
    EXPECT_EQ(p.clock.passes, 31);

    Player idle;
    int idles = 0;
    idle.player.idle = [&] { ++idles; };
    idle.player.DelayHundredths(3);
    EXPECT_EQ(idle.clock.passes, 4);
    EXPECT_EQ(idles, 3);
}

} // namespace
} // namespace ql
