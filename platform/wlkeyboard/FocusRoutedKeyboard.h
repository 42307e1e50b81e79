#pragma once
#include "platform/core/Keyboard.h"
#include <QByteArray>
#include <memory>

struct xcb_connection_t;

namespace ql {

// The keyboard of a Wayland session with XWayland: each line goes to the
// Wayland keyboard, unless an X11 program under XWayland has the input focus.
// Such a program reads its keys through the X server's keymap, which keeps the
// layout XWayland started with and takes no keymap of ours, so its lines go in
// through the XWayland display as on X11. The choice is made again before
// every line.
class FocusRoutedKeyboard : public Keyboard {
public:
    // `xDisplay` is XWayland's display name; empty when there is none.
    FocusRoutedKeyboard(std::unique_ptr<Keyboard> wayland, QByteArray xDisplay);
    ~FocusRoutedKeyboard() override;
    FocusRoutedKeyboard(const FocusRoutedKeyboard&) = delete;
    FocusRoutedKeyboard& operator=(const FocusRoutedKeyboard&) = delete;

    bool available() const override { return wayland_->available(); }
    void prepareLine(const QString& line) override;
    void keyDown(int virtualKey) override { current().keyDown(virtualKey); }
    void keyUp(int virtualKey) override { current().keyUp(virtualKey); }
    bool typeCharacter(char32_t ch, bool shift) override { return current().typeCharacter(ch, shift); }
    bool capsLockOn() override { return current().capsLockOn(); }
    bool modifiersHeld() override { return current().modifiersHeld(); }
    void releaseAll() override;
    void click(int button, int clicks) override { current().click(button, clicks); }

    // Whether the line now being sent goes through the XWayland display.
    bool typingIntoX11() const { return toX11_; }

private:
    std::unique_ptr<Keyboard> wayland_;
    std::unique_ptr<Keyboard> x11_; // opened when an X11 window first has the focus
    QByteArray xDisplay_;
    xcb_connection_t* xcb_ = nullptr;
    bool toX11_ = false;

    Keyboard& current() { return toX11_ && x11_ ? *x11_ : *wayland_; }
    bool x11WindowHasFocus();
};

} // namespace ql
