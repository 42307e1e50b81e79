#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

struct wl_keyboard;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;

namespace ql {

class WaylandConnection;

// The layout of the seat's keyboard as the compositor gives it to every
// client (wl_keyboard's keymap and modifiers): what the user's keys type,
// the active group and the locked modifiers. Read on our own connection; the
// keymap comes once the seat has a keyboard.
class SeatKeymap {
public:
    explicit SeatKeymap(std::shared_ptr<WaylandConnection> connection);
    ~SeatKeymap();
    SeatKeymap(const SeatKeymap&) = delete;
    SeatKeymap& operator=(const SeatKeymap&) = delete;

    // Takes in what the compositor has sent (a round trip when `wait`).
    void refresh(bool wait);
    // Waits up to `wait` for the keymap (a seat's keyboard may come a little
    // after the device that makes it); false when none came.
    bool waitForKeymap(std::chrono::milliseconds wait);
    // Null until the compositor has sent a keymap.
    xkb_keymap* keymap() const { return keymap_; }
    uint32_t group() const { return group_; }
    uint32_t lockedModifiers() const { return locked_; }
    // A counter that moves on with each new keymap.
    int generation() const { return generation_; }

private:
    std::shared_ptr<WaylandConnection> connection_;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    uint32_t group_ = 0;
    uint32_t locked_ = 0;
    int generation_ = 0;

    static void onCapabilities(void* data, wl_seat* seat, uint32_t capabilities);
    static void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size);
    static void onModifiers(void* data, wl_keyboard*, uint32_t serial, uint32_t depressed,
                            uint32_t latched, uint32_t locked, uint32_t group);
};

} // namespace ql
