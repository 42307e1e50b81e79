#pragma once
#include "platform/core/Clock.h"
#include "platform/core/Keyboard.h"
#include <QString>
#include <functional>

namespace ql {

// What a bracket body means.
struct ParsedKey {
    int code = 0;       // key code with modifier bits, 0 when the body names no key
    bool pause = false; // the body was a pause, already waited
};

// The building blocks both send interpreters share: parsing bracket bodies,
// pressing keys, typing text and waiting while the program stays responsive.
class KeyPlayer {
public:
    KeyPlayer(Keyboard& keyboard, Clock& clock) : keyboard_(keyboard), clock_(clock) {}

    // Called between passes of a wait on a real clock, so that a long pause
    // does not spin a core; tests leave it empty.
    std::function<void()> idle;

    // Prefixes (+ ^ % -, CTRL/ALT/SHIFT words), KEY removal, WAIT pauses.
    ParsedKey ParseKeyToken(const QString& body);
    // Presses and releases one key with its modifiers (or clicks a mouse button).
    void PressKey(int code);
    // Types every character as a character. Stops before the first one the
    // layout cannot produce and returns false, with that character in `failed`.
    bool TypeText(const QString& text, char32_t* failed = nullptr);
    // Waits n hundredths, processing events at least once.
    void DelayHundredths(int n);
    // Waits, processing events, until `done` holds or n hundredths have gone;
    // true when it held.
    bool WaitUntil(const std::function<bool()>& done, int n);

    Keyboard& keyboard() { return keyboard_; }
    Clock& clock() { return clock_; }

private:
    Keyboard& keyboard_;
    Clock& clock_;

    bool typeCharacter(char32_t ch);
    qint64 moment() const;
};

// Characters that need Shift on the reference layout when typed.
bool isShiftedCharacter(char32_t ch);

} // namespace ql
