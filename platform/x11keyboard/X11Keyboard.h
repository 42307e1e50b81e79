#pragma once
#include "platform/core/Keyboard.h"
#include <QTimer>
#include <chrono>
#include <map>
#include <set>
#include <memory>
#include <tuple>
#include <vector>

struct _XDisplay;
struct xkb_context;
struct xkb_keymap;

namespace ql {

// Synthesized keystrokes on X11 through XTest, over a private Xlib connection.
// Characters are produced with the key and level the current XKB layout (and
// group) has for them, holding Shift or the level-three shift as that level
// needs and taking Caps Lock into account; the `shift` hint of typeCharacter is
// therefore not needed here. A character found only in another group of the
// layout is typed by locking that group for the one key. A character missing
// from the layout is put on a
// spare keycode, which stays mapped until the keyboard has been idle a while:
// remapping it while the receiver may still be reading earlier strokes would
// turn them into the new character.
class X11Keyboard : public Keyboard {
public:
    explicit X11Keyboard(const char* display = nullptr);
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    bool available() const override { return display_ != nullptr && keymap_ != nullptr; }
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    bool typeCharacter(char32_t ch, bool shift) override;
    bool capsLockOn() override;
    // The XKB state's pressed and latched modifiers other than Caps Lock and
    // Num Lock, while none of them comes from a key this keyboard holds.
    bool modifiersHeld() override;
    void releaseAll() override;
    void click(int button, int clicks) override;

    // Gives the spare keycodes back to the layout (also done after an idle while
    // when an event loop runs, and on destruction).
    void releaseSpareKeys();

private:
    struct Stroke {
        unsigned keycode = 0;
        std::vector<unsigned> modifiers; // keycodes held around the key
        int group = -1;                  // group to switch to for the key, -1 none
    };
    struct Spare {
        unsigned keycode = 0;
        uint32_t keysym = 0; // 0 while free
        std::chrono::steady_clock::time_point lastUse{};
    };
    struct LayoutState {
        uint32_t group = 0;
        uint32_t lockedMods = 0;
        uint32_t lockedGroup = 0; // restored after a stroke in another group
        bool operator<(const LayoutState& o) const {
            return std::tie(group, lockedMods) < std::tie(o.group, o.lockedMods);
        }
    };

    _XDisplay* display_ = nullptr;
    int xkbEventBase_ = 0;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    int32_t deviceId_ = -1;
    bool keymapStale_ = false;
    std::map<std::pair<char32_t, LayoutState>, Stroke> strokeCache_;
    std::vector<Spare> spares_;
    std::chrono::steady_clock::time_point lastRelease_{};
    std::set<unsigned> pressed_; // keycodes pressed here and not released yet
    std::unique_ptr<QTimer> idleTimer_;

    void loadKeymap();
    void noticeKeymapChanges();
    LayoutState layoutState();
    bool findStroke(char32_t ch, const LayoutState& state, Stroke& out);
    bool findStrokeInGroup(char32_t ch, const LayoutState& state, Stroke& out);
    unsigned keycodeForKeysym(uint32_t keysym);
    unsigned modifierKeycode(uint32_t keysym);
    unsigned spareKeycodeFor(uint32_t keysym);
    void makeAlphabetic(unsigned keycode);
    void findSpareKeycodes();
    void sendKey(unsigned keycode, bool press);
    void play(const Stroke& stroke, const LayoutState& state);
    void touched();
};

} // namespace ql
