#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct xkb_context;
struct xkb_keymap;

namespace ql {

// The keys (Linux input event codes) that produce one character: the
// modifier keys to hold, in order, around the character's key, Caps Lock
// pressed before and after them when the character needs the other state.
struct LayoutStroke {
    uint32_t key = 0;
    std::vector<uint32_t> modifiers;
    bool togglesCapsLock = false;
    bool operator==(const LayoutStroke&) const = default;
};

// Where each character sits in a keyboard layout the compositor gives its
// seat: the key and the level of the active group that produce it, and the
// modifier keys (Shift, the level-three shift) that reach that level, given
// whether Caps Lock is on. A character that the current Caps Lock state hides
// (an accented letter that Caps Lock turns into a capital and Shift into a
// digit) is typed with Caps Lock switched for its key. Only what a key
// produces on its own counts: dead keys and characters of other groups are
// not typeable. Needs no display.
class LayoutStrokes {
public:
    // The Caps Lock key as Linux input event code.
    static constexpr uint32_t kCapsLockKey = 58;

    LayoutStrokes();
    ~LayoutStrokes();
    LayoutStrokes(const LayoutStrokes&) = delete;
    LayoutStrokes& operator=(const LayoutStrokes&) = delete;

    // Takes a keymap in the XKB text format; false (and no keymap) when it
    // does not compile.
    bool load(const std::string& text);
    // Takes the keymap of the named layouts ("us,ru"), as a compositor builds it.
    bool loadNames(const char* layouts, const char* options = nullptr);
    bool loaded() const { return keymap_ != nullptr; }
    uint32_t groups() const;

    // The stroke that types `ch` in `group`; none when no key and level of
    // that group produces it.
    std::optional<LayoutStroke> strokeFor(char32_t ch, uint32_t group, bool capsLock);
    // The key carrying `keysym` (a named key: Tab, Return, a letter for a
    // shortcut), in `group` first, on its lowest level; 0 when none does.
    uint32_t keyForKeysym(uint32_t keysym, uint32_t group) const;

private:
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    std::map<std::tuple<char32_t, uint32_t, bool>, std::optional<LayoutStroke>> cache_;

    void take(xkb_keymap* keymap);
    std::optional<LayoutStroke> find(char32_t ch, uint32_t group, bool capsLock) const;
    std::vector<uint32_t> levelShifts(uint32_t group) const;
    std::optional<LayoutStroke> findWithLock(char32_t ch, uint32_t group, bool capsLock) const;
};

} // namespace ql
