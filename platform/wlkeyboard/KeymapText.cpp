#include "platform/wlkeyboard/KeymapText.h"
#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

// XKB keycodes are Linux input event codes plus 8; an X11 program receives
// keycodes up to 255 only.
constexpr uint32_t kEvdevOffset = 8;
constexpr uint32_t kHighestKey = 255 - kEvdevOffset;

struct NamedKey {
    int virtualKey;      // of the key-sequence language
    uint32_t key;        // Linux input event code
    const char* name;    // XKB key name
    const char* type;    // XKB key type
    const char* symbols; // level 1 and 2
};

// The keys of a physical (US) keyboard the key-sequence language can name.
constexpr std::array kNamedKeys{
    NamedKey{27, 1, "ESC", "ONE_LEVEL", "Escape"},
    NamedKey{'1', 2, "AE01", "TWO_LEVEL", "1, exclam"},
    NamedKey{'2', 3, "AE02", "TWO_LEVEL", "2, at"},
    NamedKey{'3', 4, "AE03", "TWO_LEVEL", "3, numbersign"},
    NamedKey{'4', 5, "AE04", "TWO_LEVEL", "4, dollar"},
    NamedKey{'5', 6, "AE05", "TWO_LEVEL", "5, percent"},
    NamedKey{'6', 7, "AE06", "TWO_LEVEL", "6, asciicircum"},
    NamedKey{'7', 8, "AE07", "TWO_LEVEL", "7, ampersand"},
    NamedKey{'8', 9, "AE08", "TWO_LEVEL", "8, asterisk"},
    NamedKey{'9', 10, "AE09", "TWO_LEVEL", "9, parenleft"},
    NamedKey{'0', 11, "AE10", "TWO_LEVEL", "0, parenright"},
    NamedKey{8, 14, "BKSP", "ONE_LEVEL", "BackSpace"},
    NamedKey{9, 15, "TAB", "TWO_LEVEL", "Tab, ISO_Left_Tab"},
    NamedKey{'Q', 16, "AD01", "ALPHABETIC", "q, Q"},
    NamedKey{'W', 17, "AD02", "ALPHABETIC", "w, W"},
    NamedKey{'E', 18, "AD03", "ALPHABETIC", "e, E"},
    NamedKey{'R', 19, "AD04", "ALPHABETIC", "r, R"},
    NamedKey{'T', 20, "AD05", "ALPHABETIC", "t, T"},
    NamedKey{'Y', 21, "AD06", "ALPHABETIC", "y, Y"},
    NamedKey{'U', 22, "AD07", "ALPHABETIC", "u, U"},
    NamedKey{'I', 23, "AD08", "ALPHABETIC", "i, I"},
    NamedKey{'O', 24, "AD09", "ALPHABETIC", "o, O"},
    NamedKey{'P', 25, "AD10", "ALPHABETIC", "p, P"},
    NamedKey{13, 28, "RTRN", "ONE_LEVEL", "Return"},
    NamedKey{17, 29, "LCTL", "ONE_LEVEL", "Control_L"},
    NamedKey{'A', 30, "AC01", "ALPHABETIC", "a, A"},
    NamedKey{'S', 31, "AC02", "ALPHABETIC", "s, S"},
    NamedKey{'D', 32, "AC03", "ALPHABETIC", "d, D"},
    NamedKey{'F', 33, "AC04", "ALPHABETIC", "f, F"},
    NamedKey{'G', 34, "AC05", "ALPHABETIC", "g, G"},
    NamedKey{'H', 35, "AC06", "ALPHABETIC", "h, H"},
    NamedKey{'J', 36, "AC07", "ALPHABETIC", "j, J"},
    NamedKey{'K', 37, "AC08", "ALPHABETIC", "k, K"},
    NamedKey{'L', 38, "AC09", "ALPHABETIC", "l, L"},
    NamedKey{16, 42, "LFSH", "ONE_LEVEL", "Shift_L"},
    NamedKey{'Z', 44, "AB01", "ALPHABETIC", "z, Z"},
    NamedKey{'X', 45, "AB02", "ALPHABETIC", "x, X"},
    NamedKey{'C', 46, "AB03", "ALPHABETIC", "c, C"},
    NamedKey{'V', 47, "AB04", "ALPHABETIC", "v, V"},
    NamedKey{'B', 48, "AB05", "ALPHABETIC", "b, B"},
    NamedKey{'N', 49, "AB06", "ALPHABETIC", "n, N"},
    NamedKey{'M', 50, "AB07", "ALPHABETIC", "m, M"},
    NamedKey{106, 55, "KPMU", "ONE_LEVEL", "KP_Multiply"},
    NamedKey{18, 56, "LALT", "ONE_LEVEL", "Alt_L"},
    NamedKey{32, 57, "SPCE", "ONE_LEVEL", "space"},
    // Caps Lock sends its key but locks nothing: the state of this keyboard
    // is set by its own modifiers requests only.
    NamedKey{20, 58, "CAPS", "ONE_LEVEL", "Caps_Lock"},
    NamedKey{112, 59, "FK01", "ONE_LEVEL", "F1"},
    NamedKey{113, 60, "FK02", "ONE_LEVEL", "F2"},
    NamedKey{114, 61, "FK03", "ONE_LEVEL", "F3"},
    NamedKey{115, 62, "FK04", "ONE_LEVEL", "F4"},
    NamedKey{116, 63, "FK05", "ONE_LEVEL", "F5"},
    NamedKey{117, 64, "FK06", "ONE_LEVEL", "F6"},
    NamedKey{118, 65, "FK07", "ONE_LEVEL", "F7"},
    NamedKey{119, 66, "FK08", "ONE_LEVEL", "F8"},
    NamedKey{120, 67, "FK09", "ONE_LEVEL", "F9"},
    NamedKey{121, 68, "FK10", "ONE_LEVEL", "F10"},
    // The keypad as with Num Lock on: the language's PAD keys are digits.
    NamedKey{103, 71, "KP7", "ONE_LEVEL", "KP_7"},
    NamedKey{104, 72, "KP8", "ONE_LEVEL", "KP_8"},
    NamedKey{105, 73, "KP9", "ONE_LEVEL", "KP_9"},
    NamedKey{109, 74, "KPSU", "ONE_LEVEL", "KP_Subtract"},
    NamedKey{100, 75, "KP4", "ONE_LEVEL", "KP_4"},
    NamedKey{101, 76, "KP5", "ONE_LEVEL", "KP_5"},
    NamedKey{102, 77, "KP6", "ONE_LEVEL", "KP_6"},
    NamedKey{107, 78, "KPAD", "ONE_LEVEL", "KP_Add"},
    NamedKey{97, 79, "KP1", "ONE_LEVEL", "KP_1"},
    NamedKey{98, 80, "KP2", "ONE_LEVEL", "KP_2"},
    NamedKey{99, 81, "KP3", "ONE_LEVEL", "KP_3"},
    NamedKey{96, 82, "KP0", "ONE_LEVEL", "KP_0"},
    NamedKey{110, 83, "KPDL", "ONE_LEVEL", "KP_Decimal"},
    NamedKey{122, 87, "FK11", "ONE_LEVEL", "F11"},
    NamedKey{123, 88, "FK12", "ONE_LEVEL", "F12"},
    NamedKey{111, 98, "KPDV", "ONE_LEVEL", "KP_Divide"},
    NamedKey{44, 99, "PRSC", "ONE_LEVEL", "Print"},
    NamedKey{36, 102, "HOME", "ONE_LEVEL", "Home"},
    NamedKey{38, 103, "UP", "ONE_LEVEL", "Up"},
    NamedKey{33, 104, "PGUP", "ONE_LEVEL", "Prior"},
    NamedKey{37, 105, "LEFT", "ONE_LEVEL", "Left"},
    NamedKey{39, 106, "RGHT", "ONE_LEVEL", "Right"},
    NamedKey{35, 107, "END", "ONE_LEVEL", "End"},
    NamedKey{40, 108, "DOWN", "ONE_LEVEL", "Down"},
    NamedKey{34, 109, "PGDN", "ONE_LEVEL", "Next"},
    NamedKey{45, 110, "INS", "ONE_LEVEL", "Insert"},
    NamedKey{46, 111, "DELE", "ONE_LEVEL", "Delete"},
    NamedKey{19, 119, "PAUS", "ONE_LEVEL", "Pause"},
};

bool isNamedKey(uint32_t key) {
    return std::any_of(kNamedKeys.begin(), kNamedKeys.end(), [&](const NamedKey& k) { return k.key == key; });
}

// Keys free for characters, lowest first.
const std::vector<uint32_t>& characterKeycodes() {
    static const std::vector<uint32_t> keys = [] {
        std::vector<uint32_t> out;
        for (uint32_t key = 1; key <= kHighestKey; ++key)
            if (!isNamedKey(key)) out.push_back(key);
        return out;
    }();
    return keys;
}

// The character keys' type has a single level that every modifier leads to,
// and it counts Shift and Lock as used up, so neither changes the character
// (a receiver capitalizes a symbol only for an unused Lock).
const char kTypes[] = R"(xkb_types "quillock" {
    type "ONE_LEVEL" { modifiers = none; level_name[Level1] = "Any"; };
    type "TWO_LEVEL" { modifiers = Shift; map[Shift] = Level2;
        level_name[Level1] = "Base"; level_name[Level2] = "Shift"; };
    type "ALPHABETIC" { modifiers = Shift+Lock; map[Shift] = Level2; map[Lock] = Level2;
        level_name[Level1] = "Base"; level_name[Level2] = "Caps"; };
    type "CHARACTER" { modifiers = Shift+Lock; map[Shift] = Level1; map[Lock] = Level1;
        map[Shift+Lock] = Level1; level_name[Level1] = "Character"; };
};
xkb_compatibility "quillock" { };
)";

std::string keyName(uint32_t key) {
    char name[8];
    std::snprintf(name, sizeof name, "I%03u", unsigned(key + kEvdevOffset));
    return name;
}

std::string keycodesSection(const std::vector<std::pair<char32_t, uint32_t>>& characters) {
    std::string out = "xkb_keycodes \"quillock\" {\n    minimum = 8;\n    maximum = 255;\n";
    for (const NamedKey& k : kNamedKeys)
        out += "    <" + std::string(k.name) + "> = " + std::to_string(k.key + kEvdevOffset) + ";\n";
    for (const auto& [ch, key] : characters)
        out += "    <" + keyName(key) + "> = " + std::to_string(key + kEvdevOffset) + ";\n";
    return out + "};\n";
}

std::string symbolsSection(const std::vector<std::pair<char32_t, uint32_t>>& characters) {
    std::string out = "xkb_symbols \"quillock\" {\n";
    for (const NamedKey& k : kNamedKeys)
        out += "    key <" + std::string(k.name) + "> { type = \"" + k.type + "\", [ " + k.symbols + " ] };\n";
    char symbol[64];
    for (const auto& [ch, key] : characters) {
        xkb_keysym_get_name(xkb_utf32_to_keysym(uint32_t(ch)), symbol, sizeof symbol);
        out += "    key <" + keyName(key) + "> { type = \"CHARACTER\", [ " + symbol + " ] };\n";
    }
    out += "    modifier_map Shift { <LFSH> };\n    modifier_map Lock { <CAPS> };\n"
           "    modifier_map Control { <LCTL> };\n    modifier_map Mod1 { <LALT> };\n";
    return out + "};\n";
}

} // namespace

size_t KeymapBuilder::capacity() { return characterKeycodes().size(); }

Keymap KeymapBuilder::build(const std::u32string& characters) {
    Keymap keymap;
    std::vector<std::pair<char32_t, uint32_t>> placed;
    const std::vector<uint32_t>& free = characterKeycodes();
    for (char32_t ch : characters) {
        if (placed.size() == free.size()) break;
        if (ch < 32 || keymap.holds(ch) || xkb_utf32_to_keysym(uint32_t(ch)) == XKB_KEY_NoSymbol) continue;
        const uint32_t key = free[placed.size()];
        keymap.characterKeys[ch] = key;
        placed.emplace_back(ch, key);
    }
    keymap.text = "xkb_keymap {\n" + keycodesSection(placed) + kTypes + symbolsSection(placed) + "};\n";
    return keymap;
}

uint32_t KeymapBuilder::keyOfVirtualKey(int virtualKey) {
    for (const NamedKey& k : kNamedKeys)
        if (k.virtualKey == virtualKey) return k.key;
    return 0;
}

uint32_t KeymapBuilder::modifierOfVirtualKey(int virtualKey) {
    switch (virtualKey) {
    case 16: return kShiftMask;
    case 17: return kControlMask;
    case 18: return kAltMask;
    default: return 0;
    }
}

} // namespace ql
