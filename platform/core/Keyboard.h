#pragma once
#include <QString>
#include <cstdint>

namespace ql {

// Synthesized input. Virtual key codes are those of the key-sequence language
// (8 Backspace, 9 Tab, 13 Enter, 65-90 letters, 112-123 F1-F12, ...).
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual bool available() const = 0;
    // Told each send line as a whole before its first key: a keyboard that
    // makes the keys for its characters (a keymap of its own) makes them for
    // the whole line at once. Keyboards that type from the user's layout need
    // nothing.
    virtual void prepareLine(const QString& line) { (void)line; }
    // Called before a send's first key. Where the desktop types for us only
    // with the user's leave, asks for it (once per run); false when it was
    // not given: nothing may be typed then.
    virtual bool prepareSend() { return true; }
    virtual void keyDown(int virtualKey) = 0;
    virtual void keyUp(int virtualKey) = 0;
    // Types one character as a character: the key and level the current layout
    // has for it, with Shift pressed or not as `shift` says. False when the
    // layout cannot produce it; nothing was pressed then.
    virtual bool typeCharacter(char32_t ch, bool shift) = 0;
    virtual bool capsLockOn() = 0;
    // True while the user holds Shift, Ctrl, Alt, Super or the like, or a
    // latched modifier waits for the next key: keystrokes sent now would
    // arrive as shortcuts.
    virtual bool modifiersHeld() = 0;
    // Lets go of every key this keyboard pressed and has not released yet.
    virtual void releaseAll() = 0;
    // Mouse button: 1 left, 2 right, 3 centre; clicks is 1 or 2.
    virtual void click(int button, int clicks) = 0;
};

} // namespace ql
