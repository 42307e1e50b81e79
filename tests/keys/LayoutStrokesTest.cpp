// Where characters sit in the layouts a compositor gives its seat: keys,
// level modifiers, Caps Lock and groups, from keymaps compiled as KWin
// compiles them.
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

constexpr uint32_t kShift = 42, kAltGr = 100; // Linux input event codes

LayoutStroke stroke(uint32_t key, std::vector<uint32_t> modifiers = {}, bool togglesCaps = false) {
    return {key, std::move(modifiers), togglesCaps};
}

} // namespace

TEST(LayoutStrokes, FindsEachCharactersKeyAndTheModifiersOfItsLevel) {
    LayoutStrokes us;
    ASSERT_TRUE(us.loadNames("us"));
    EXPECT_EQ(us.strokeFor(U'a', 0, false), stroke(30));
    EXPECT_EQ(us.strokeFor(U'A', 0, false), stroke(30, {kShift}));
    EXPECT_EQ(us.strokeFor(U'@', 0, false), stroke(3, {kShift}));
    EXPECT_EQ(us.strokeFor(U' ', 0, false), stroke(57));
    EXPECT_FALSE(us.strokeFor(U'é', 0, false));

    LayoutStrokes de;
    ASSERT_TRUE(de.loadNames("de"));
    EXPECT_EQ(de.strokeFor(U'z', 0, false), stroke(21)); // where us has y
    EXPECT_EQ(de.strokeFor(U'@', 0, false), stroke(16, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'{', 0, false), stroke(8, {kAltGr}));
    EXPECT_EQ(de.strokeFor(U'ö', 0, false), stroke(39));
    // Circumflex and grave are dead keys there: they type nothing by themselves.
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
