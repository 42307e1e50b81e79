#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct xkb_compose_table;
struct xkb_context;
struct xkb_keymap;

namespace ql {

// One key (Linux input event code) and the modifier keys held around it.
struct KeyChord {
    uint32_t key = 0;
    std::vector<uint32_t> modifiers;
    bool operator==(const KeyChord&) const = default;
};

// The keys (Linux input event codes) that produce one character: the
// modifier keys to hold, in order, around the character's key, Caps Lock
// pressed before and after them when the character needs the other state,
// and for a character the receiver composes, the dead key typed before it.
struct LayoutStroke {
    uint32_t key = 0;
    std::vector<uint32_t> modifiers;
    bool togglesCapsLock = false;
    std::optional<KeyChord> deadKey;
    bool operator==(const LayoutStroke&) const = default;
};

// The locale whose compose table the user's programs read dead keys with:
// LC_ALL, LC_CTYPE or LANG as set, English where that is the C locale.
std::string receiversComposeLocale();

// Where each character sits in a keyboard layout the compositor gives its
// seat: the key and the level of the active group that produce it, and the
// modifier keys (Shift, the level-three shift) that reach that level, given
// whether Caps Lock is on. A character that the current Caps Lock state hides
// (an accented letter that Caps Lock turns into a capital and Shift into a
// digit) is typed with Caps Lock switched for its key. A character no key
// produces on its own is typed as a user types it, a dead key of the group and
// then a key of its own, where the compose table of the receivers' locale
// makes exactly that character of the two; a key of its own always wins.
// Characters of other groups are not typeable. Needs no display.
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
    // Reads the compose table of `locale` ("en_US.UTF-8"); false when there is
    // none (no characters through dead keys then). Kept across keymaps.
    bool loadCompose(const std::string& locale);
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
    xkb_compose_table* compose_ = nullptr;
    std::map<std::tuple<char32_t, uint32_t, bool>, std::optional<LayoutStroke>> cache_;
    // Per group and Caps Lock state, every character a dead key composes.
    std::map<std::pair<uint32_t, bool>, std::map<char32_t, LayoutStroke>> composed_;

    using ChordVisitor = std::function<bool(const KeyChord&, uint32_t keysym, uint32_t utf32)>;

    void take(xkb_keymap* keymap);
    void visitChords(uint32_t group, bool capsLock, const ChordVisitor& visit) const;
    std::optional<LayoutStroke> find(char32_t ch, uint32_t group, bool capsLock) const;
    std::vector<uint32_t> levelShifts(uint32_t group) const;
    std::optional<LayoutStroke> findWithLock(char32_t ch, uint32_t group, bool capsLock);
    std::optional<LayoutStroke> findComposed(char32_t ch, uint32_t group, bool capsLock);
    std::map<char32_t, LayoutStroke> composeAll(uint32_t group, bool capsLock) const;
};

} // namespace ql
