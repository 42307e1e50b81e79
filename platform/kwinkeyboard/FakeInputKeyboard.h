#pragma once
#include "platform/core/Keyboard.h"
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include <chrono>
#include <functional>
#include <memory>
#include <set>

struct org_kde_kwin_fake_input;
struct org_kde_kwin_keystate;
struct wl_keyboard;

namespace ql {

class WaylandConnection;

// Synthesized keystrokes on KWin through its fake-input protocol, which takes
// key codes only: KWin reads them with the layout it gives its seat, so each
// character is typed with the key and level the active group of that layout
// has for it, holding Shift or the level-three shift as the level needs and
// taking Caps Lock into account, and a character the group has only behind a
// dead key as that dead key and then its key, both at once. The layout is the
// seat's keymap as every client receives it; the active group is asked from
// KWin before each line and Caps Lock followed through KWin's key-state
// protocol. A character the active group cannot produce is refused, with
// nothing pressed.
class FakeInputKeyboard : public Keyboard {
public:
    // `activeGroup` tells the layout group KWin has active; empty means the
    // one KWin's keyboard-layout service names (the first when it has none).
    explicit FakeInputKeyboard(std::shared_ptr<WaylandConnection> connection,
                               std::function<uint32_t()> activeGroup = {});
    ~FakeInputKeyboard() override;
    FakeInputKeyboard(const FakeInputKeyboard&) = delete;
    FakeInputKeyboard& operator=(const FakeInputKeyboard&) = delete;

    // Whether KWin offers fake input with keys (version 4 or later).
    static bool offeredBy(const WaylandConnection& connection);

    bool available() const override;
    void prepareLine(const QString& line) override;
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    bool typeCharacter(char32_t ch, bool shift) override;
    bool capsLockOn() override { return capsLock_; }
    // KWin does not tell other clients which keys the user holds.
    bool modifiersHeld() override { return false; }
    void releaseAll() override;
    void click(int button, int clicks) override;

    // The layout group the next line is typed in.
    uint32_t group() const { return group_; }

private:
    std::shared_ptr<WaylandConnection> connection_;
    std::function<uint32_t()> activeGroup_;
    org_kde_kwin_fake_input* fakeInput_ = nullptr;
    org_kde_kwin_keystate* keystate_ = nullptr;
    wl_keyboard* seatKeyboard_ = nullptr;
    LayoutStrokes layout_;
    uint32_t group_ = 0;
    bool capsLock_ = false;
    std::set<uint32_t> pressed_;
    int sinceRoundTrip_ = 0;

    void sendKey(uint32_t key, bool press);
    void tap(uint32_t key);
    void tapChord(const KeyChord& chord);
    uint32_t keyOfVirtualKey(int virtualKey) const;
    void pace();
    void letReceiverCatchUp();
    static void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size);
    static void onKeyState(void* data, org_kde_kwin_keystate*, uint32_t key, uint32_t state);
};

// The group KWin's keyboard-layout service names as active; 0 when the
// service is not there (one layout only).
uint32_t kwinActiveLayoutGroup();

} // namespace ql
