#pragma once
#include <QString>

namespace ql {

// Shown by whoever started a send that returned SendOutcome::FocusLost.
inline const QString kSendStoppedTitle = QStringLiteral("Send Stopped");
inline const QString kSendStoppedText = QStringLiteral(
    "The keyboard focus left the target window, so the rest of the text was not sent.");

// Shown for SendOutcome::NoKeyboard.
inline const QString kNoKeyboardTitle = QStringLiteral("Cannot Send");
inline const QString kNoKeyboardText = QStringLiteral(
    "Keystrokes cannot be sent on this desktop (an X11 display is needed), so nothing was sent.");

} // namespace ql
