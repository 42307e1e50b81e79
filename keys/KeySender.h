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
};

// The two interpreters of send lines, as the window monitor uses them.
class KeySender {
public:
    virtual ~KeySender() = default;
    // Paced groups into whatever window has the focus.
    virtual SendOutcome sendGrouped(const QString& line) = 0;
    // Item by item into one window; focusMode 0 leave focus, 1 give focus to
    // target, 2 give focus and hand it back afterwards.
    virtual SendOutcome sendDirect(WindowHandle target, const QString& line, int focusMode) = 0;
};

} // namespace ql
