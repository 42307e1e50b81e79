#pragma once
#include "platform/core/WindowSystem.h"
#include <QString>

namespace ql {

enum class SendOutcome {
    Completed,
    // The keyboard focus left the window the send started in; nothing more was pressed.
    FocusLost,
    // No keystrokes can be synthesized here (no X display); nothing was pressed.
    NoKeyboard,
    // The desktop did not let us type (the user refused); nothing was pressed.
    NotAllowed,
    // The target window could not be given the keyboard focus; nothing was pressed.
    NotFocused,
    // The user held a modifier key for the whole wait; nothing more was pressed.
    ModifiersHeld,
    // A character the keyboard layout cannot produce; neither it nor anything
    // after it was typed.
    Untypable,
};

// How a send ended, and for Untypable the character that stopped it.
struct SendResult {
    SendOutcome outcome = SendOutcome::Completed;
    char32_t character = 0;

    SendResult() = default;
    SendResult(SendOutcome o, char32_t c = 0) : outcome(o), character(c) {} // NOLINT: implicit
    bool operator==(SendOutcome o) const { return outcome == o; }
};

// The two interpreters of send lines, as the window monitor uses them. Both
// give the keyboard focus to their target before the first key and stop as
// soon as it leaves, and both leave no key of theirs down when they stop.
class KeySender {
public:
    virtual ~KeySender() = default;
    // Paced groups into `target`, or into whatever window has the focus when
    // `target` is 0.
    virtual SendResult sendGrouped(const QString& line, WindowHandle target) = 0;
    // Item by item into one window; focusMode 0 leave focus, 1 give focus to
    // target, 2 give focus and hand it back afterwards.
    virtual SendResult sendDirect(WindowHandle target, const QString& line, int focusMode) = 0;
};

} // namespace ql
