#include "platform/gnome/SeatKeymap.h"
#include "platform/wayland/WaylandConnection.h"
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {

SeatKeymap::SeatKeymap(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    seat_ = connection_ ? connection_->seat() : nullptr;
    if (!seat_) return;
    static const wl_seat_listener seatListener = {&SeatKeymap::onCapabilities,
                                                  [](void*, wl_seat*, const char*) {}};
    wl_seat_add_listener(seat_, &seatListener, this);
    connection_->roundTrip(); // the capabilities, then the keymap
    connection_->roundTrip();
}

SeatKeymap::~SeatKeymap() {
    if (keyboard_) wl_keyboard_release(keyboard_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
    if (connection_) connection_->flush();
}

void SeatKeymap::refresh(bool wait) {
    if (!connection_ || connection_->broken()) return;
    if (!wait) {
        connection_->dispatchPending();
        return;
    }
    // A keyboard that has just come to the seat is asked for, then its keymap read.
    const bool hadKeyboard = keyboard_ != nullptr;
    connection_->roundTrip();
    if (!hadKeyboard && keyboard_) connection_->roundTrip();
}

bool SeatKeymap::waitForKeymap(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!keymap_ && connection_ && !connection_->broken() && std::chrono::steady_clock::now() < deadline) {
        const bool hadKeyboard = keyboard_ != nullptr;
        connection_->dispatchPending(50);
        if (!hadKeyboard && keyboard_) connection_->roundTrip();
    }
    return keymap_ != nullptr;
}

void SeatKeymap::onCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    auto* self = static_cast<SeatKeymap*>(data);
    if (self->keyboard_ || !(capabilities & WL_SEAT_CAPABILITY_KEYBOARD)) return;
    static const wl_keyboard_listener listener = {
        &SeatKeymap::onKeymap,
        [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
        [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
        [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
        &SeatKeymap::onModifiers,
        [](void*, wl_keyboard*, int32_t, int32_t) {},
    };
    self->keyboard_ = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(self->keyboard_, &listener, self);
}

void SeatKeymap::onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* self = static_cast<SeatKeymap*>(data);
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    // The text ends with its terminating zero within `size`; read no further.
    xkb_keymap* keymap = xkb_keymap_new_from_buffer(self->context_, static_cast<const char*>(text),
                                                    size - 1, XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (!keymap) return;
    if (self->keymap_) xkb_keymap_unref(self->keymap_);
    self->keymap_ = keymap;
    ++self->generation_;
}

void SeatKeymap::onModifiers(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t locked,
                             uint32_t group) {
    auto* self = static_cast<SeatKeymap*>(data);
    self->locked_ = locked;
    self->group_ = group;
}

} // namespace ql
