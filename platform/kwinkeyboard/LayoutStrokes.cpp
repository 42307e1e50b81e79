#include "platform/kwinkeyboard/LayoutStrokes.h"
#include <cstdlib>
#include <set>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

// XKB keycodes are Linux input event codes plus 8.
constexpr uint32_t kEvdevOffset = 8;
// X11 keycodes (the same XKB keycodes) end here.
constexpr xkb_keycode_t kLastX11Keycode = 255;

// The last key whose lowest level in `group` carries `keysym`: the keys of a
// physical keyboard (Right Alt for the level-three shift) come after the
// keycodes that keymaps keep for modifiers of their own.
xkb_keycode_t keyWithBaseSym(xkb_keymap* keymap, uint32_t keysym, uint32_t group) {
    for (xkb_keycode_t kc = xkb_keymap_max_keycode(keymap); kc >= xkb_keymap_min_keycode(keymap) && kc > 0; --kc) {
        const xkb_keysym_t* syms = nullptr;
        if (kc >= kEvdevOffset && xkb_keymap_key_get_syms_by_level(keymap, kc, group, 0, &syms) > 0 &&
            syms[0] == keysym)
            return kc;
    }
    return 0;
}

bool isDeadKeysym(xkb_keysym_t sym) { return sym >= XKB_KEY_dead_grave && sym <= XKB_KEY_dead_longsolidusoverlay; }

// The one character that `text` (UTF-8, `size` bytes) encodes; none when it
// holds more or less than one, or is not well formed.
std::optional<char32_t> singleCharacter(const char* text, int size) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    if (size <= 0) return std::nullopt;
    const int length = s[0] < 0x80 ? 1 : (s[0] >> 5) == 0x6 ? 2 : (s[0] >> 4) == 0xe ? 3 : (s[0] >> 3) == 0x1e ? 4 : 0;
    if (length == 0 || length != size) return std::nullopt;
    char32_t ch = length == 1 ? s[0] : s[0] & (0x7f >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xc0) != 0x80) return std::nullopt;
        ch = (ch << 6) | (s[i] & 0x3f);
    }
    return ch;
}

} // namespace

std::string receiversComposeLocale() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    return locale.empty() || locale == "C" || locale == "POSIX" ? "en_US.UTF-8" : locale;
}

LayoutStrokes::LayoutStrokes() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

LayoutStrokes::~LayoutStrokes() {
    if (compose_) xkb_compose_table_unref(compose_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
}

void LayoutStrokes::take(xkb_keymap* keymap) {
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    cache_.clear();
    composed_.clear();
}

bool LayoutStrokes::loadCompose(const std::string& locale) {
    if (compose_) xkb_compose_table_unref(compose_);
    compose_ = context_ ? xkb_compose_table_new_from_locale(context_, locale.c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS)
                        : nullptr;
    cache_.clear();
    composed_.clear();
    return compose_ != nullptr;
}

bool LayoutStrokes::load(const std::string& text) {
    take(context_ ? xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS)
                  : nullptr);
    return keymap_ != nullptr;
}

bool LayoutStrokes::loadNames(const char* layouts, const char* options) {
    xkb_rule_names names{};
    names.layout = layouts;
    names.options = options;
    take(context_ ? xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr);
    return keymap_ != nullptr;
}

uint32_t LayoutStrokes::groups() const { return keymap_ ? xkb_keymap_num_layouts(keymap_) : 0; }

std::optional<LayoutStroke> LayoutStrokes::strokeFor(char32_t ch, uint32_t group, bool capsLock) {
    if (!keymap_ || group >= groups()) return std::nullopt;
    const auto at = std::make_tuple(ch, group, capsLock);
    auto cached = cache_.find(at);
    if (cached != cache_.end()) return cached->second;
    return cache_[at] = findWithLock(ch, group, capsLock);
}

// A key of the character's own first, with Caps Lock as it is or switched;
// only then a dead key and a key, likewise.
std::optional<LayoutStroke> LayoutStrokes::findWithLock(char32_t ch, uint32_t group, bool capsLock) {
    const bool canSwitch = keyWithBaseSym(keymap_, XKB_KEY_Caps_Lock, group) == kCapsLockKey + kEvdevOffset;
    for (bool throughDeadKey : {false, true}) {
        for (bool switched : {false, true}) {
            if (switched && !canSwitch) continue;
            std::optional<LayoutStroke> stroke = throughDeadKey ? findComposed(ch, group, capsLock != switched)
                                                                : find(ch, group, capsLock != switched);
            if (!stroke) continue;
            stroke->togglesCapsLock = switched;
            return stroke;
        }
    }
    return std::nullopt;
}

std::optional<LayoutStroke> LayoutStrokes::findComposed(char32_t ch, uint32_t group, bool capsLock) {
    if (!compose_) return std::nullopt;
    const auto at = std::make_pair(group, capsLock);
    auto known = composed_.find(at);
    if (known == composed_.end()) known = composed_.emplace(at, composeAll(group, capsLock)).first;
    auto stroke = known->second.find(ch);
    if (stroke == known->second.end()) return std::nullopt;
    return stroke->second;
}

// Every dead key of the group before every key that types a character, then
// before every dead key (twice the acute accent makes ´ on de), as the
// receiver's compose table reads them: what they compose to exactly one
// character. The first dead key and key found (fewest modifiers) win.
std::map<char32_t, LayoutStroke> LayoutStrokes::composeAll(uint32_t group, bool capsLock) const {
    std::vector<std::pair<xkb_keysym_t, KeyChord>> deadKeys, bases;
    std::set<xkb_keysym_t> seen;
    visitChords(group, capsLock, [&](const KeyChord& chord, xkb_keysym_t sym, uint32_t utf32) {
        if (!seen.insert(sym).second) return false;
        if (isDeadKeysym(sym)) deadKeys.emplace_back(sym, chord);
        else if (utf32) bases.emplace_back(sym, chord);
        return false;
    });
    bases.insert(bases.end(), deadKeys.begin(), deadKeys.end());
    std::map<char32_t, LayoutStroke> out;
    xkb_compose_state* state = xkb_compose_state_new(compose_, XKB_COMPOSE_STATE_NO_FLAGS);
    for (const auto& [dead, deadChord] : deadKeys) {
        for (const auto& [base, baseChord] : bases) {
            xkb_compose_state_reset(state);
            xkb_compose_state_feed(state, dead);
            xkb_compose_state_feed(state, base);
            if (xkb_compose_state_get_status(state) != XKB_COMPOSE_COMPOSED) continue;
            char text[16];
            const int size = xkb_compose_state_get_utf8(state, text, sizeof text);
            if (const std::optional<char32_t> ch = singleCharacter(text, size < int(sizeof text) ? size : 0))
                out.emplace(*ch, LayoutStroke{baseChord.key, baseChord.modifiers, false, deadChord});
        }
    }
    xkb_compose_state_unref(state);
    return out;
}

// The keys that shift levels in `group`: Shift, then the level-three shift.
std::vector<uint32_t> LayoutStrokes::levelShifts(uint32_t group) const {
    std::vector<uint32_t> out;
    for (uint32_t sym : {XKB_KEY_Shift_L, XKB_KEY_ISO_Level3_Shift})
        if (xkb_keycode_t kc = keyWithBaseSym(keymap_, sym, group)) out.push_back(kc);
    return out;
}

// Visits the keys of `group` with no modifier, Shift, the level-three shift
// and both, on an XKB state like the receiver's, with the symbol and the
// character the receiver reads, until `visit` returns true. Keys an X11
// keycode can carry come first, at every level: a key beyond them (the
// keymap's dollar and euro keys) never reaches a program under XWayland.
void LayoutStrokes::visitChords(uint32_t group, bool capsLock, const ChordVisitor& visit) const {
    const std::vector<uint32_t> shifts = levelShifts(group);
    const xkb_mod_index_t caps = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_CAPS);
    const uint32_t locked = capsLock && caps != XKB_MOD_INVALID ? 1u << caps : 0;
    const xkb_keycode_t first = std::max(xkb_keymap_min_keycode(keymap_), kEvdevOffset);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    bool done = false;
    for (bool beyondX11 : {false, true}) {
        const xkb_keycode_t from = beyondX11 ? std::max(first, kLastX11Keycode + 1) : first;
        const xkb_keycode_t to = beyondX11 ? last : std::min(last, kLastX11Keycode);
        for (unsigned combo = 0; combo < (1u << shifts.size()) && !done && from <= to; ++combo) {
            xkb_state* st = xkb_state_new(keymap_);
            xkb_state_update_mask(st, 0, 0, locked, 0, 0, group);
            KeyChord chord;
            for (size_t i = 0; i < shifts.size(); ++i)
                if (combo & (1u << i)) {
                    xkb_state_update_key(st, shifts[i], XKB_KEY_DOWN);
                    chord.modifiers.push_back(shifts[i] - kEvdevOffset);
                }
            for (xkb_keycode_t kc = from; kc <= to && !done; ++kc) {
                chord.key = kc - kEvdevOffset;
                done = visit(chord, xkb_state_key_get_one_sym(st, kc), xkb_state_key_get_utf32(st, kc));
            }
            xkb_state_unref(st);
        }
    }
}

// The first key and level that make the receiver read exactly `ch`.
std::optional<LayoutStroke> LayoutStrokes::find(char32_t ch, uint32_t group, bool capsLock) const {
    std::optional<LayoutStroke> found;
    visitChords(group, capsLock, [&](const KeyChord& chord, xkb_keysym_t, uint32_t utf32) {
        if (utf32 != uint32_t(ch)) return false;
        found = LayoutStroke{chord.key, chord.modifiers};
        return true;
    });
    return found;
}

uint32_t LayoutStrokes::keyForKeysym(uint32_t keysym, uint32_t group) const {
    if (!keymap_) return 0;
    for (xkb_level_index_t level : {0u, 1u, 2u, 3u}) {
        for (uint32_t g = 0; g < groups(); ++g) {
            const uint32_t tryGroup = g == 0 ? group : (g <= group ? g - 1 : g);
            for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_); ++kc) {
                const xkb_keysym_t* syms = nullptr;
                if (kc >= kEvdevOffset && xkb_keymap_key_get_syms_by_level(keymap_, kc, tryGroup, level, &syms) > 0 &&
                    syms[0] == keysym)
                    return kc - kEvdevOffset;
            }
        }
    }
    return 0;
}

} // namespace ql
