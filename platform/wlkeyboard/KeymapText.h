#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ql {

// A keyboard description of our own for a virtual keyboard: the keys a
// physical keyboard has for the named keys of the key-sequence language (at
// their usual places, with the symbols of a US keyboard), plus one key for
// each character of the text to type, carrying exactly that character on its
// only level. Such a key types its character whatever the user's layout, and
// neither Shift nor Caps Lock changes it; there are no dead keys.
struct Keymap {
    std::string text; // the description in the XKB text format
    // The key (Linux input event code) of each character it holds.
    std::map<char32_t, uint32_t> characterKeys;

    bool holds(char32_t ch) const { return characterKeys.count(ch) != 0; }
};

// The masks of the modifiers in every Keymap (its real modifiers, in XKB order).
inline constexpr uint32_t kShiftMask = 1u << 0;
inline constexpr uint32_t kLockMask = 1u << 1;
inline constexpr uint32_t kControlMask = 1u << 2;
inline constexpr uint32_t kAltMask = 1u << 3; // Mod1

class KeymapBuilder {
public:
    // How many character keys one keymap can hold: the keys left below the
    // highest keycode an X11 program (under XWayland) can receive.
    static size_t capacity();

    // A keymap for the distinct characters of `characters`, in order of first
    // appearance, up to capacity(); characters after that are left out.
    // Characters below 32 and those without a key symbol are left out too.
    static Keymap build(const std::u32string& characters);

    // The key (Linux input event code) of a virtual key of the key-sequence
    // language, 0 when it names none.
    static uint32_t keyOfVirtualKey(int virtualKey);
    // The modifier mask a modifier virtual key (16 Shift, 17 Ctrl, 18 Alt)
    // stands for, 0 for any other key.
    static uint32_t modifierOfVirtualKey(int virtualKey);
};

} // namespace ql
