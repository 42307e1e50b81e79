#include "platform/gnome/KeysymPlanner.h"
#include <QChar>
#include <QList>
#include <QString>
#include <array>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

struct DeadKey {
    char32_t combining; // the mark a decomposed character carries
    char32_t spacing;   // the character the dead key and a space make
    uint32_t keysym;
};

constexpr std::array kDeadKeys{
    DeadKey{0x300, U'`', XKB_KEY_dead_grave},      DeadKey{0x301, U'\u00b4', XKB_KEY_dead_acute},
    DeadKey{0x302, U'^', XKB_KEY_dead_circumflex}, DeadKey{0x303, U'~', XKB_KEY_dead_tilde},
    DeadKey{0x308, U'\u00a8', XKB_KEY_dead_diaeresis}, DeadKey{0x30a, U'\u02da', XKB_KEY_dead_abovering},
    DeadKey{0x327, U'\u00b8', XKB_KEY_dead_cedilla}, DeadKey{0x30c, U'\u02c7', XKB_KEY_dead_caron},
};

} // namespace

KeysymPlanner::KeysymPlanner(xkb_keymap* keymap, xkb_compose_table* compose)
    : keymap_(keymap), compose_(compose) {}

void KeysymPlanner::setState(uint32_t group, uint32_t lockedModifiers) {
    group_ = group;
    locked_ = lockedModifiers;
}

// The key the compositor picks: the lowest keycode, then the lowest level.
std::optional<KeysymPlanner::Place> KeysymPlanner::firstPlace(uint32_t keysym) const {
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc < last; ++kc) {
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap_, kc, group_);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int n = xkb_keymap_key_get_syms_by_level(keymap_, kc, group_, level, &syms);
            for (int i = 0; i < n; ++i)
                if (syms[i] == keysym) return Place{kc, level};
        }
    }
    return std::nullopt;
}

// What the receiver reads when the compositor types `keysym` with the user's
// locked modifiers in force; none when the compositor cannot type it.
std::optional<char32_t> KeysymPlanner::produced(uint32_t keysym) const {
    const std::optional<Place> place = firstPlace(keysym);
    if (!place || place->level > 2) return std::nullopt;
    xkb_state* state = xkb_state_new(keymap_);
    xkb_state_update_mask(state, 0, 0, locked_, 0, 0, group_);
    bool ready = true;
    if (place->level > 0) {
        const auto shift = firstPlace(place->level == 1 ? XKB_KEY_Shift_L : XKB_KEY_ISO_Level3_Shift);
        ready = shift.has_value();
        if (ready) xkb_state_update_key(state, shift->keycode, XKB_KEY_DOWN);
    }
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, place->keycode);
    const uint32_t utf32 = xkb_state_key_get_utf32(state, place->keycode);
    xkb_state_unref(state);
    if (!ready || sym == XKB_KEY_NoSymbol) return std::nullopt;
    // A dead key types no character of its own: stand it for its symbol.
    return utf32 ? char32_t(utf32) : char32_t(0x1000000 | sym);
}

std::optional<uint32_t> KeysymPlanner::direct(char32_t ch) const {
    const uint32_t keysym = xkb_utf32_to_keysym(uint32_t(ch));
    if (keysym != XKB_KEY_NoSymbol && produced(keysym) == ch) return keysym;
    // Caps Lock turns a letter of an alphabetic key: ask for the other case.
    const char32_t other = QChar::isLower(ch) ? QChar::toUpper(ch) : QChar::isUpper(ch) ? QChar::toLower(ch) : ch;
    const uint32_t otherSym = xkb_utf32_to_keysym(uint32_t(other));
    if (other != ch && otherSym != XKB_KEY_NoSymbol && produced(otherSym) == ch) return otherSym;
    return std::nullopt;
}

bool KeysymPlanner::composes(uint32_t dead, uint32_t base, char32_t ch) const {
    if (!compose_) return false;
    xkb_compose_state* state = xkb_compose_state_new(compose_, XKB_COMPOSE_STATE_NO_FLAGS);
    xkb_compose_state_feed(state, dead);
    xkb_compose_state_feed(state, base);
    bool ok = xkb_compose_state_get_status(state) == XKB_COMPOSE_COMPOSED;
    if (ok) {
        char text[16] = {};
        xkb_compose_state_get_utf8(state, text, sizeof text);
        const QString made = QString::fromUtf8(text);
        ok = made.size() == QString::fromUcs4(&ch, 1).size() && made.toUcs4().value(0) == uint(ch);
    }
    xkb_compose_state_unref(state);
    return ok;
}

// A character on a dead key: an accented letter is the dead key of its mark
// and its base letter, a spacing accent the dead key and a space.
std::optional<std::vector<uint32_t>> KeysymPlanner::throughDeadKey(char32_t ch) const {
    const QString decomposed = QString::fromUcs4(&ch, 1).normalized(QString::NormalizationForm_D);
    const std::u32string parts = decomposed.toStdU32String();
    for (const DeadKey& dead : kDeadKeys) {
        char32_t base = 0;
        if (ch == dead.spacing) base = U' ';
        else if (parts.size() == 2 && parts[1] == dead.combining) base = parts[0];
        if (!base) continue;
        const std::optional<uint32_t> deadSym = firstPlace(dead.keysym) ? produced(dead.keysym) : std::nullopt;
        if (!deadSym || *deadSym != char32_t(0x1000000 | dead.keysym)) continue;
        const std::optional<uint32_t> baseSym = direct(base);
        if (!baseSym) continue;
        // The compose table reads the symbol the base key gives, Caps Lock applied.
        const uint32_t readSym = xkb_utf32_to_keysym(uint32_t(base));
        if (composes(dead.keysym, readSym, ch)) return std::vector<uint32_t>{dead.keysym, *baseSym};
    }
    return std::nullopt;
}

std::optional<std::vector<uint32_t>> KeysymPlanner::plan(char32_t ch) const {
    if (!keymap_) return std::nullopt;
    if (const std::optional<uint32_t> keysym = direct(ch)) return std::vector<uint32_t>{*keysym};
    return throughDeadKey(ch);
}

std::optional<std::vector<uint32_t>> KeysymPlanner::planInEveryGroup(char32_t ch, bool capsLock) {
    if (!keymap_) return std::nullopt;
    const xkb_mod_index_t caps = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_CAPS);
    const uint32_t locked = capsLock && caps != XKB_MOD_INVALID ? 1u << caps : 0;
    std::optional<std::vector<uint32_t>> plan;
    for (uint32_t group = 0; group < xkb_keymap_num_layouts(keymap_); ++group) {
        setState(group, locked);
        const std::optional<std::vector<uint32_t>> here = this->plan(ch);
        if (!here || (plan && *plan != *here)) return std::nullopt;
        plan = here;
    }
    return plan;
}

} // namespace ql
