#include "platform/wlkeyboard/FocusRoutedKeyboard.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include <cstdlib>
#include <xcb/xcb.h>

namespace ql {

FocusRoutedKeyboard::FocusRoutedKeyboard(std::unique_ptr<Keyboard> wayland, QByteArray xDisplay)
    : wayland_(std::move(wayland)), xDisplay_(std::move(xDisplay)) {}

FocusRoutedKeyboard::~FocusRoutedKeyboard() {
    if (xcb_) xcb_disconnect(xcb_);
}

// The compositor's X11 window manager gives the X focus to no window while a
// Wayland window has the keyboard focus.
bool FocusRoutedKeyboard::x11WindowHasFocus() {
    if (xDisplay_.isEmpty()) return false;
    if (!xcb_) {
        xcb_ = xcb_connect(xDisplay_.constData(), nullptr);
        if (xcb_connection_has_error(xcb_)) {
            xcb_disconnect(xcb_);
            xcb_ = nullptr;
            xDisplay_.clear(); // no XWayland to type into
            return false;
        }
    }
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(xcb_, xcb_get_input_focus(xcb_), nullptr);
    const bool x11 = reply && reply->focus != XCB_NONE && reply->focus != XCB_INPUT_FOCUS_POINTER_ROOT;
    free(reply);
    return x11;
}

void FocusRoutedKeyboard::prepareLine(const QString& line) {
    toX11_ = x11WindowHasFocus();
    if (toX11_ && !x11_) x11_ = std::make_unique<X11Keyboard>(xDisplay_.constData());
    if (toX11_ && !x11_->available()) toX11_ = false;
    current().prepareLine(line);
}

void FocusRoutedKeyboard::releaseAll() {
    wayland_->releaseAll();
    if (x11_) x11_->releaseAll();
}

} // namespace ql
