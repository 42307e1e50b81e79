#pragma once
#include <cstdint>
#include <optional>
#include <vector>

struct xkb_keymap;
struct xkb_compose_table;

namespace ql {

// Plans the key symbols that type a character on a compositor that takes key
// symbols and finds each one in the active group of the user's layout only:
// it presses the first key showing the symbol, with Shift for the second
// level and the level-three shift for the third, and nothing for any other
// level. The plan is checked against the layout with the user's locked
// modifiers (Caps Lock), so it types exactly the character or is not made:
// a letter that Caps Lock would turn is asked for in the other case, a
// character the group has only through a dead key is its dead key and base
// (as the compose table confirms), and anything else has no plan.
class KeysymPlanner {
public:
    // Neither is taken over; `compose` may be null (no dead-key plans then).
    KeysymPlanner(xkb_keymap* keymap, xkb_compose_table* compose);

    void setState(uint32_t group, uint32_t lockedModifiers);
    uint32_t group() const { return group_; }

    // The key symbols to press and release in turn, or none when the active
    // group cannot produce `ch`.
    std::optional<std::vector<uint32_t>> plan(char32_t ch) const;

    // A plan that types `ch` whichever group is active, with Caps Lock on or
    // off as `capsLock` says: for a compositor that does not tell us the group.
    std::optional<std::vector<uint32_t>> planInEveryGroup(char32_t ch, bool capsLock);

private:
    xkb_keymap* keymap_;
    xkb_compose_table* compose_;
    uint32_t group_ = 0;
    uint32_t locked_ = 0;

    struct Place {
        uint32_t keycode = 0;
        uint32_t level = 0;
    };
    std::optional<Place> firstPlace(uint32_t keysym) const;
    std::optional<char32_t> produced(uint32_t keysym) const;
    std::optional<uint32_t> direct(char32_t ch) const;
    std::optional<std::vector<uint32_t>> throughDeadKey(char32_t ch) const;
    bool composes(uint32_t dead, uint32_t base, char32_t ch) const;
};

} // namespace ql
