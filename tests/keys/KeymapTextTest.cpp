// The keymap a virtual keyboard carries, compiled the way a receiving program
// compiles it, with no compositor involved.
#include "platform/wlkeyboard/KeymapText.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

struct Compiled {
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{
        xkb_context_new(xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)),
        xkb_context_unref};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap{nullptr, xkb_keymap_unref};
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{nullptr, xkb_state_unref};

    explicit Compiled(const Keymap& k) {
        keymap.reset(xkb_keymap_new_from_string(context.get(), k.text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (keymap) state.reset(xkb_state_new(keymap.get()));
    }
    // What the key gives with these modifiers depressed and locked.
    char32_t character(uint32_t key, uint32_t depressed = 0, uint32_t locked = 0) {
        xkb_state_update_mask(state.get(), depressed, 0, locked, 0, 0, 0);
        return xkb_state_key_get_utf32(state.get(), key + 8);
    }
    xkb_keysym_t keysym(uint32_t key, uint32_t depressed = 0) {
        xkb_state_update_mask(state.get(), depressed, 0, 0, 0, 0, 0);
        return xkb_state_key_get_one_sym(state.get(), key + 8);
    }
};

const std::u32string kPunctuation = U"^`~'\"\\|{}<>!@#$%&*()_+-=[];:,./? ";
const std::u32string kLetters = U"éèêëàâäôöüçñßİıŞşĞğÇÖÜąćęłńóśźżΑαΩωЖжЯяЁё€½";

TEST(KeymapText, EveryCharacterIsItsOwnKeyAtTheFirstLevelWhateverShiftAndCapsLockSay) {
    const std::u32string line = kPunctuation + kLetters + U"aAzZ09";
    Keymap k = KeymapBuilder::build(line);
    Compiled c(k);
    ASSERT_TRUE(c.keymap) << k.text;
    std::set<uint32_t> keys;
    for (char32_t ch : line) {
        SCOPED_TRACE(uint32_t(ch));
        ASSERT_TRUE(k.holds(ch));
        const uint32_t key = k.characterKeys.at(ch);
        keys.insert(key);
        EXPECT_EQ(c.character(key), ch);
        EXPECT_EQ(c.keysym(key), xkb_utf32_to_keysym(ch));
        EXPECT_EQ(xkb_keymap_num_levels_for_key(c.keymap.get(), key + 8, 0), 1u);
        // Caps Lock and Shift (of a user's keyboard state) change nothing.
        EXPECT_EQ(c.character(key, 0, kLockMask), ch);
        EXPECT_EQ(c.character(key, kShiftMask, kLockMask), ch);
        EXPECT_EQ(c.character(key, kShiftMask), ch);
    }
    EXPECT_EQ(keys.size(), k.characterKeys.size()) << "two characters share a key";
    // Keys an X11 program can receive, apart from the named keys.
    for (uint32_t key : keys) {
        EXPECT_LE(key + 8, 255u);
        for (int vk : {8, 9, 13, 16, 17, 18, 27, 32, 37, 65, 90, 48, 112, 123, 96, 111})
            EXPECT_NE(key, KeymapBuilder::keyOfVirtualKey(vk));
    }
}

TEST(KeymapText, NamedKeysSitWhereAPhysicalKeyboardHasThemAndModifiersWork) {
    Keymap k = KeymapBuilder::build(U"x");
    Compiled c(k);
    ASSERT_TRUE(c.keymap) << k.text;
    // Linux input event codes of a physical keyboard.
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(9), 15u);  // Tab
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(13), 28u); // Enter
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey('A'), 30u);
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(112), 59u); // F1
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(123), 88u); // F12
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(37), 105u); // Left
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(1), 0u);    // a mouse code names no key
    EXPECT_EQ(KeymapBuilder::keyOfVirtualKey(200), 0u);
    const std::pair<int, xkb_keysym_t> plain[] = {
        {8, XKB_KEY_BackSpace}, {9, XKB_KEY_Tab}, {13, XKB_KEY_Return}, {27, XKB_KEY_Escape},
        {32, XKB_KEY_space}, {33, XKB_KEY_Prior}, {34, XKB_KEY_Next}, {36, XKB_KEY_Home},
        {38, XKB_KEY_Up}, {40, XKB_KEY_Down}, {46, XKB_KEY_Delete}, {'C', XKB_KEY_c},
        {'7', XKB_KEY_7}, {103, XKB_KEY_KP_7}, {106, XKB_KEY_KP_Multiply}, {111, XKB_KEY_KP_Divide},
        {117, XKB_KEY_F6}, {16, XKB_KEY_Shift_L}, {17, XKB_KEY_Control_L}, {18, XKB_KEY_Alt_L}};
    for (const auto& [vk, sym] : plain)
        EXPECT_EQ(c.keysym(KeymapBuilder::keyOfVirtualKey(vk)), sym) << vk;
    // Shift gives the second level as on a physical keyboard: Shift+Tab is a
    // back tab, Ctrl+Shift+C a capital C.
    EXPECT_EQ(c.keysym(KeymapBuilder::keyOfVirtualKey(9), kShiftMask), XKB_KEY_ISO_Left_Tab);
    EXPECT_EQ(c.keysym(KeymapBuilder::keyOfVirtualKey('C'), kShiftMask | kControlMask), XKB_KEY_C);
    // The masks the keyboard sends are the modifiers receivers look up by name.
    const std::pair<const char*, uint32_t> mods[] = {{XKB_MOD_NAME_SHIFT, kShiftMask},
                                                     {XKB_MOD_NAME_CAPS, kLockMask},
                                                     {XKB_MOD_NAME_CTRL, kControlMask},
                                                     {XKB_MOD_NAME_ALT, kAltMask}};
    for (const auto& [name, mask] : mods)
        EXPECT_EQ(1u << xkb_keymap_mod_get_index(c.keymap.get(), name), mask) << name;
    EXPECT_EQ(KeymapBuilder::modifierOfVirtualKey(17), kControlMask);
    EXPECT_EQ(KeymapBuilder::modifierOfVirtualKey(9), 0u);
}

TEST(KeymapText, ALineWithMoreCharactersThanKeysFillsTheKeymapInOrder) {
    std::u32string line;
    for (char32_t ch = 0x400; line.size() < KeymapBuilder::capacity() + 10; ++ch) line += ch;
    line = U"\tab\x01" + line + U"a"; // control characters get no key, repeats one key
    Keymap k = KeymapBuilder::build(line);
    Compiled c(k);
    ASSERT_TRUE(c.keymap);
    EXPECT_EQ(k.characterKeys.size(), KeymapBuilder::capacity());
    EXPECT_GT(KeymapBuilder::capacity(), 120u);
    EXPECT_FALSE(k.holds(U'\t'));
    EXPECT_TRUE(k.holds(U'a'));
    EXPECT_TRUE(k.holds(line[4]));
    EXPECT_FALSE(k.holds(line[line.size() - 2])); // beyond the capacity
    EXPECT_EQ(c.character(k.characterKeys.at(U'b')), U'b');
}

} // namespace
} // namespace ql
