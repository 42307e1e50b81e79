#pragma once
#include "platform/core/Keyboard.h"
#include "platform/wlkeyboard/KeymapText.h"
#include <chrono>
#include <memory>
#include <set>
#include <string>

struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace ql {

class WaylandConnection;

// Synthesized keystrokes on a Wayland compositor through a virtual keyboard of
// our own (zwp_virtual_keyboard_v1), which carries a keymap we make for the
// line being sent: every character of the line is one key of that keymap, so
// it arrives exactly whatever layout the user has, without dead keys and
// untouched by Caps Lock. The keymap is sent before the line's first key, and
// the first key waits until the compositor has taken it and the receiver has
// had time to read it. Named keys are the keys of a physical keyboard;
// modifiers are this keyboard's own state, set with its modifiers request, so
// keys the user holds on his keyboard do not change what it types. Mouse
// names click through a virtual pointer where the compositor offers one.
class WaylandKeyboard : public Keyboard {
public:
    explicit WaylandKeyboard(std::shared_ptr<WaylandConnection> connection);
    ~WaylandKeyboard() override;
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    // Whether the compositor offers what this keyboard needs.
    static bool offeredBy(const WaylandConnection& connection);

    bool available() const override;
    void prepareLine(const QString& line) override;
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    // The `shift` hint is not needed: each character has a key of its own.
    bool typeCharacter(char32_t ch, bool shift) override;
    // This keyboard's Caps Lock, which is never on.
    bool capsLockOn() override { return false; }
    // Always false: the compositor keeps the modifiers of each keyboard apart,
    // so what the user holds does not reach the keys typed here.
    bool modifiersHeld() override { return false; }
    void releaseAll() override;
    void click(int button, int clicks) override;

    // How long the first key after a new keymap waits for the receiver.
    static constexpr std::chrono::milliseconds kKeymapSettle{40};

private:
    std::shared_ptr<WaylandConnection> connection_;
    zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    Keymap keymap_;
    std::u32string line_;    // the characters of the line being sent
    size_t linePos_ = 0;     // where in it the next character is looked for
    uint32_t modifiers_ = 0; // depressed, as last sent
    std::set<uint32_t> pressed_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int sinceRoundTrip_ = 0;

    void upload(const std::u32string& characters);
    void sendKey(uint32_t key, bool press);
    void sendModifiers(uint32_t depressed);
    uint32_t timestamp() const;
    size_t findInLine(char32_t ch) const;
};

} // namespace ql
