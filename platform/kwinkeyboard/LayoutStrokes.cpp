#include "platform/kwinkeyboard/LayoutStrokes.h"
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

// XKB keycodes are Linux input event codes plus 8.
constexpr uint32_t kEvdevOffset = 8;

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

} // namespace

LayoutStrokes::LayoutStrokes() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

LayoutStrokes::~LayoutStrokes() {
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
}

void LayoutStrokes::take(xkb_keymap* keymap) {
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    cache_.clear();
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

std::optional<LayoutStroke> LayoutStrokes::findWithLock(char32_t ch, uint32_t group, bool capsLock) const {
    if (std::optional<LayoutStroke> stroke = find(ch, group, capsLock)) return stroke;
    if (keyWithBaseSym(keymap_, XKB_KEY_Caps_Lock, group) != kCapsLockKey + kEvdevOffset) return std::nullopt;
    std::optional<LayoutStroke> other = find(ch, group, !capsLock);
    if (other) other->togglesCapsLock = true;
    return other;
}

// The keys that shift levels in `group`: Shift, then the level-three shift.
std::vector<uint32_t> LayoutStrokes::levelShifts(uint32_t group) const {
    std::vector<uint32_t> out;
    for (uint32_t sym : {XKB_KEY_Shift_L, XKB_KEY_ISO_Level3_Shift})
        if (xkb_keycode_t kc = keyWithBaseSym(keymap_, sym, group)) out.push_back(kc);
    return out;
}

// Tries the keys with no modifier, Shift, the level-three shift and both, on
// an XKB state like the receiver's, so the receiver reads exactly `ch`.
std::optional<LayoutStroke> LayoutStrokes::find(char32_t ch, uint32_t group, bool capsLock) const {
    const std::vector<uint32_t> shifts = levelShifts(group);
    const xkb_mod_index_t caps = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_CAPS);
    const uint32_t locked = capsLock && caps != XKB_MOD_INVALID ? 1u << caps : 0;
    for (unsigned combo = 0; combo < (1u << shifts.size()); ++combo) {
        xkb_state* st = xkb_state_new(keymap_);
        xkb_state_update_mask(st, 0, 0, locked, 0, 0, group);
        LayoutStroke stroke;
        for (size_t i = 0; i < shifts.size(); ++i)
            if (combo & (1u << i)) {
                xkb_state_update_key(st, shifts[i], XKB_KEY_DOWN);
                stroke.modifiers.push_back(shifts[i] - kEvdevOffset);
            }
        for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_); ++kc) {
            if (kc >= kEvdevOffset && xkb_state_key_get_utf32(st, kc) == uint32_t(ch)) {
                stroke.key = kc - kEvdevOffset;
                break;
            }
        }
        xkb_state_unref(st);
        if (stroke.key) return stroke;
    }
    return std::nullopt;
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
