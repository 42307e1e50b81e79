// Where characters sit in the layouts a compositor gives its seat: keys,
// level modifiers, Caps Lock and groups, from keymaps compiled as KWin
// compiles them.
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include <gtest/gtest.h>
#include <ostream>

using namespace ql;

namespace ql {
void PrintTo(const LayoutStroke& s, std::ostream* out) {
    auto keys = [&](const std::vector<uint32_t>& modifiers, uint32_t key) {
        for (uint32_t m : modifiers) *out << m << '+';
        *out << key;
    };
    if (s.deadKey) {
        keys(s.deadKey->modifiers, s.deadKey->key);
        *out << " then ";
    }
    keys(s.modifiers, s.key);
    if (s.togglesCapsLock) *out << " with Caps Lock switched";
}
} // namespace ql

namespace {

constexpr uint32_t kShift = 42, kAltGr = 100; // Linux input event codes

constexpr uint32_t kSpace = 57;

LayoutStroke stroke(uint32_t key, std::vector<uint32_t> modifiers = {}, bool togglesCaps = false) {
    return {key, std::move(modifiers), togglesCaps};
}

// A key typed after a dead key.
LayoutStroke afterDeadKey(KeyChord dead, uint32_t key, std::vector<uint32_t> modifiers = {}, bool togglesCaps = false) {
    return {key, std::move(modifiers), togglesCaps, std::move(dead)};
}

// A layout with the compose table the receivers read dead keys with.
void loadWithCompose(LayoutStrokes& layout, const char* names) {
    ASSERT_TRUE(layout.loadNames(names));
    ASSERT_TRUE(layout.loadCompose("en_US.UTF-8"));
}

} // namespace

TEST(LayoutStrokes, FindsEachCharactersKeyAndTheModifiersOfItsLevel) {
    LayoutStrokes us;
    ASSERT_TRUE(us.loadNames("us"));
    EXPECT_EQ(us.strokeFor(U'a', 0, false), stroke(30));
    EXPECT_EQ(us.strokeFor(U'A', 0, false), stroke(30, {kShift}));
    EXPECT_EQ(us.strokeFor(U'@', 0, false), stroke(3, {kShift}));
    // The keymap has keys of their own for the dollar and the euro, beyond
    // the keycodes X11 programs under XWayland can receive: the digit keys
    // with a modifier reach every program.
    EXPECT_EQ(us.strokeFor(U'$', 0, false), stroke(5, {kShift}));
    EXPECT_EQ(us.strokeFor(U' ', 0, false), stroke(57));
    EXPECT_FALSE(us.strokeFor(U'é', 0, false));

    LayoutStrokes de;
    ASSERT_TRUE(de.loadNames("de"));
    EXPECT_EQ(de.strokeFor(U'z', 0, false), stroke(21)); // where us has y
    EXPECT_EQ(de.strokeFor(U'@', 0, false), stroke(16, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'{', 0, false), stroke(8, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'€', 0, false), stroke(18, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'ö', 0, false), stroke(39));
    // Circumflex and grave are dead keys there: they type nothing by themselves,
    // and without a compose table nothing tells what they make.
    EXPECT_FALSE(de.strokeFor(U'^', 0, false));
    EXPECT_FALSE(de.strokeFor(U'`', 0, false));

    LayoutStrokes tr;
    ASSERT_TRUE(tr.loadNames("tr"));
    EXPECT_EQ(tr.strokeFor(U'ı', 0, false), stroke(23));
    EXPECT_EQ(tr.strokeFor(U'i', 0, false), stroke(40));
    EXPECT_EQ(tr.strokeFor(U'İ', 0, false), stroke(40, {kShift}));
}

TEST(LayoutStrokes, CapsLockIsTakenIntoAccountAndSwitchedForKeysItHides) {
    LayoutStrokes us;
    ASSERT_TRUE(us.loadNames("us"));
    EXPECT_EQ(us.strokeFor(U'a', 0, true), stroke(30, {kShift}));
    EXPECT_EQ(us.strokeFor(U'A', 0, true), stroke(30));
    EXPECT_EQ(us.strokeFor(U'1', 0, true), stroke(2)); // digits do not care

    LayoutStrokes tr;
    ASSERT_TRUE(tr.loadNames("tr"));
    EXPECT_EQ(tr.strokeFor(U'İ', 0, true), stroke(40));
    EXPECT_EQ(tr.strokeFor(U'ı', 0, true), stroke(23, {kShift}));

    // On fr, Caps Lock makes the é key type É and Shift its digit: é is typed
    // with Caps Lock switched off for the key.
    LayoutStrokes fr;
    ASSERT_TRUE(fr.loadNames("fr"));
    EXPECT_EQ(fr.strokeFor(U'é', 0, false), stroke(3));
    EXPECT_EQ(fr.strokeFor(U'é', 0, true), stroke(3, {}, true));
    EXPECT_EQ(fr.strokeFor(U'2', 0, true), stroke(3, {kShift}));
}

TEST(LayoutStrokes, OnlyTheActiveGroupTypesAndNamedKeysAreFoundInAnyGroup) {
    LayoutStrokes usRu;
    ASSERT_TRUE(usRu.loadNames("us,ru"));
    EXPECT_EQ(usRu.groups(), 2u);
    EXPECT_EQ(usRu.strokeFor(U'ж', 1, false), stroke(39));
    EXPECT_EQ(usRu.strokeFor(U'Ж', 1, false), stroke(39, {kShift}));
    EXPECT_FALSE(usRu.strokeFor(U'ж', 0, false));
    EXPECT_FALSE(usRu.strokeFor(U'a', 1, false));
    EXPECT_EQ(usRu.strokeFor(U'a', 0, false), stroke(30));
    EXPECT_FALSE(usRu.strokeFor(U'a', 2, false)); // no such group
    // A shortcut's letter is where the first group that has it puts it.
    EXPECT_EQ(usRu.keyForKeysym(0x61 /* a */, 1), 30u);
    EXPECT_EQ(usRu.keyForKeysym(0xff09 /* Tab */, 1), 15u);

    LayoutStrokes none;
    EXPECT_FALSE(none.load("not a keymap"));
    EXPECT_FALSE(none.strokeFor(U'a', 0, false));
}

TEST(LayoutStrokes, CharactersBehindDeadKeysAreTheDeadKeyThenTheKeyTheyComposeWith) {
    const KeyChord circumflex{41}, acute{13}, grave{13, {kShift}};
    LayoutStrokes de;
    loadWithCompose(de, "de");
    EXPECT_EQ(de.strokeFor(U'^', 0, false), afterDeadKey(circumflex, kSpace));
    EXPECT_EQ(de.strokeFor(U'`', 0, false), afterDeadKey(grave, kSpace));
    EXPECT_EQ(de.strokeFor(U'\u00b4', 0, false), afterDeadKey(acute, 13)); // the dead key twice
    EXPECT_EQ(de.strokeFor(U'é', 0, false), afterDeadKey(acute, 18));
    EXPECT_EQ(de.strokeFor(U'É', 0, false), afterDeadKey(acute, 18, {kShift}));
    EXPECT_EQ(de.strokeFor(U'ê', 0, false), afterDeadKey(circumflex, 18));
    EXPECT_EQ(de.strokeFor(U'à', 0, false), afterDeadKey(grave, 30));
    EXPECT_EQ(de.strokeFor(U'ç', 0, false), afterDeadKey({13, {kAltGr}}, 46));
    // Caps Lock turns the letter after the dead key as it turns any other.
    EXPECT_EQ(de.strokeFor(U'é', 0, true), afterDeadKey(acute, 18, {kShift}));
    EXPECT_EQ(de.strokeFor(U'É', 0, true), afterDeadKey(acute, 18));
    EXPECT_EQ(de.strokeFor(U'^', 0, true), afterDeadKey(circumflex, kSpace));
    // A key of the character's own wins over a dead key that makes it too.
    EXPECT_EQ(de.strokeFor(U'ö', 0, false), stroke(39));
    EXPECT_EQ(de.strokeFor(U'~', 0, false), stroke(27, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'a', 0, false), stroke(30));
    // Nothing composes to a Greek letter on de.
    EXPECT_FALSE(de.strokeFor(U'α', 0, false));

    LayoutStrokes fr;
    loadWithCompose(fr, "fr");
    EXPECT_EQ(fr.strokeFor(U'â', 0, false), afterDeadKey({26}, 16));
    EXPECT_EQ(fr.strokeFor(U'Ë', 0, false), afterDeadKey({26, {kShift}}, 18, {kShift}));
    EXPECT_EQ(fr.strokeFor(U'^', 0, false), stroke(10, {kAltGr})); // fr has its own key for it
    EXPECT_EQ(fr.strokeFor(U'é', 0, true), stroke(3, {}, true));   // switching Caps Lock wins too

    // Where the layout has no dead key, compose makes nothing.
    LayoutStrokes us;
    loadWithCompose(us, "us");
    EXPECT_FALSE(us.strokeFor(U'é', 0, false));
}

TEST(LayoutStrokes, OnlyTheActiveGroupsDeadKeysCompose) {
    LayoutStrokes ruDe;
    loadWithCompose(ruDe, "ru,de");
    EXPECT_FALSE(ruDe.strokeFor(U'ê', 0, false));
    EXPECT_EQ(ruDe.strokeFor(U'ê', 1, false), afterDeadKey({41}, 18));
    // A keymap of its own replaces what the last one composed.
    ASSERT_TRUE(ruDe.loadNames("us"));
    EXPECT_FALSE(ruDe.strokeFor(U'ê', 0, false));
}
