// Key symbol plans against real layouts (xkeyboard-config through xkbcommon):
// what the compositor would type for each plan, with Caps Lock off and on,
// must be exactly the character, and a character it cannot type has no plan.
#include "platform/gnome/KeysymPlanner.h"
#include "platform/gnome/PortalKeyboard.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

using Plan = std::vector<uint32_t>;

class Layout {
public:
    explicit Layout(const char* layouts) : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
        const xkb_rule_names names{"evdev", "pc105", layouts, "", ""};
        keymap_ = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        compose_ = xkb_compose_table_new_from_locale(context_, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    }
    ~Layout() {
        xkb_compose_table_unref(compose_);
        xkb_keymap_unref(keymap_);
        xkb_context_unref(context_);
    }
    std::optional<Plan> plan(char32_t ch, bool caps) {
        KeysymPlanner planner(keymap_, compose_);
        return planner.planInEveryGroup(ch, caps);
    }
    bool ready() const { return keymap_ && compose_; }

private:
    xkb_context* context_;
    xkb_keymap* keymap_ = nullptr;
    xkb_compose_table* compose_ = nullptr;
};

Plan syms(std::initializer_list<uint32_t> s) { return Plan(s); }

const QString kPunctuation = QStringLiteral("^`~'\"\\|{}<> !@#$%&*()_+-=;:,./?");

TEST(KeysymPlans, OnUsEveryAsciiCharacterIsItsOwnSymbolAndCapsLockTurnsLettersToTheOtherCase) {
    Layout us("us");
    ASSERT_TRUE(us.ready());
    for (bool caps : {false, true})
        for (char32_t ch : kPunctuation.toUcs4()) {
            SCOPED_TRACE(std::string(1, char(ch)) + (caps ? " caps" : ""));
            EXPECT_EQ(us.plan(ch, caps), syms({xkb_utf32_to_keysym(ch)}));
        }
    EXPECT_EQ(us.plan(U'a', false), syms({XKB_KEY_a}));
    EXPECT_EQ(us.plan(U'a', true), syms({XKB_KEY_A})) << "Shift with Caps Lock types a";
    EXPECT_EQ(us.plan(U'Q', true), syms({XKB_KEY_q}));
    EXPECT_EQ(us.plan(U'7', true), syms({XKB_KEY_7})) << "Caps Lock leaves digits alone";
}

TEST(KeysymPlans, CharactersTheActiveGroupLacksHaveNoPlan) {
    Layout us("us");
    for (char32_t ch : {U'é', U'ß', U'Ж', U'ä'}) EXPECT_FALSE(us.plan(ch, false)) << uint32_t(ch);
    // A character of the fourth level (Shift and AltGr) would come out as the
    // third: the compositor presses AltGr alone.
    Layout de("de");
    EXPECT_FALSE(de.plan(U'¿', false));
    // With two groups the active one is not told: only what both type the same.
    Layout usRu("us,ru");
    EXPECT_FALSE(usRu.plan(U'a', false));
    EXPECT_FALSE(usRu.plan(U'ж', false));
    EXPECT_EQ(usRu.plan(U'1', false), syms({XKB_KEY_1}));
}

// GNOME's keymap for US and German sources with the shell in German: a
// character on different keys of the groups still has one plan (the
// compositor finds its symbol in the active group); one typed differently
// (a key of its own against a dead key) or missing from a group has none.
TEST(KeysymPlans, WithUsAndGermanGroupsWhatBothTypeThroughTheSameSymbolHasAPlan) {
    Layout gnome("us,de,de");
    ASSERT_TRUE(gnome.ready());
    for (bool caps : {false, true}) {
        EXPECT_EQ(gnome.plan(U'z', caps), syms({caps ? XKB_KEY_Z : XKB_KEY_z}));
        EXPECT_EQ(gnome.plan(U'@', caps), syms({XKB_KEY_at})) << "Shift on US, AltGr on German";
        EXPECT_FALSE(gnome.plan(U'^', caps));
        EXPECT_FALSE(gnome.plan(U'ä', caps));
        EXPECT_FALSE(gnome.plan(U'é', caps));
    }
}

TEST(KeysymPlans, OnGermanAccentsAndSpacingAccentsGoThroughDeadKeysAndAltGrLevelsAreUsed) {
    Layout de("de");
    ASSERT_TRUE(de.ready());
    for (bool caps : {false, true}) {
        SCOPED_TRACE(caps ? "caps on" : "caps off");
        EXPECT_EQ(de.plan(U'^', caps), syms({XKB_KEY_dead_circumflex, XKB_KEY_space}));
        EXPECT_EQ(de.plan(U'`', caps), syms({XKB_KEY_dead_grave, XKB_KEY_space}));
        EXPECT_EQ(de.plan(U'{', caps), syms({XKB_KEY_braceleft}));
        EXPECT_EQ(de.plan(U'|', caps), syms({XKB_KEY_bar}));
        EXPECT_EQ(de.plan(U'\\', caps), syms({XKB_KEY_backslash}));
        EXPECT_EQ(de.plan(U'ä', caps), syms({caps ? XKB_KEY_Adiaeresis : XKB_KEY_adiaeresis}));
        EXPECT_EQ(de.plan(U'é', caps), syms({XKB_KEY_dead_acute, caps ? XKB_KEY_E : XKB_KEY_e}));
        EXPECT_EQ(de.plan(U'È', caps), syms({XKB_KEY_dead_grave, caps ? XKB_KEY_e : XKB_KEY_E}));
        EXPECT_EQ(de.plan(U'ê', caps), syms({XKB_KEY_dead_circumflex, caps ? XKB_KEY_E : XKB_KEY_e}));
        EXPECT_TRUE(de.plan(U'~', caps));
    }
    EXPECT_EQ(de.plan(U'ß', false), syms({XKB_KEY_ssharp}));
    EXPECT_FALSE(de.plan(U'ß', true)) << "Caps Lock makes its key type the capital sharp s";
    for (char32_t ch : kPunctuation.toUcs4()) EXPECT_TRUE(de.plan(ch, false)) << char(ch);
}

TEST(CapsLockLights, AnyLitCapsLockLightCountsAndNoLightMeansUnknown) {
    QTemporaryDir leds;
    EXPECT_FALSE(capsLockLight(leds.path()).has_value());
    auto light = [&](const QString& name, const char* value) {
        QDir(leds.path()).mkpath(name);
        QFile f(leds.path() + u'/' + name + QStringLiteral("/brightness"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(value);
    };
    light(QStringLiteral("input3::numlock"), "1\n");
    EXPECT_FALSE(capsLockLight(leds.path()).has_value());
    light(QStringLiteral("input3::capslock"), "0\n");
    EXPECT_EQ(capsLockLight(leds.path()), false);
    light(QStringLiteral("input7::capslock"), "1\n");
    EXPECT_EQ(capsLockLight(leds.path()), true);
}

} // namespace
} // namespace ql
