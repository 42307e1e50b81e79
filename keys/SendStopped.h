#pragma once
#include "keys/KeySender.h"
#include <QString>

namespace ql {

// Shown by whoever started a send that stopped part-way (FocusLost,
// ModifiersHeld, Untypable).
inline const QString kSendStoppedTitle = QStringLiteral("Send Stopped");
inline const QString kSendStoppedText = QStringLiteral(
    "The keyboard focus left the target window, so the rest of the text was not sent.");
inline const QString kModifiersHeldText = QStringLiteral(
    "A key such as Ctrl, Alt, Shift or Super was held down, so the rest of the text was not "
    "sent: typed with it, the text would have become shortcuts.");
inline QString untypableText(char32_t ch) {
    return QStringLiteral("The character \"") + QString::fromUcs4(&ch, 1) +
           QStringLiteral("\" cannot be typed with the current keyboard layout, so it and the "
                          "rest of the text were not sent.");
}
// The "Send Stopped" text for a result that stopped part-way.
inline QString sendStoppedText(const SendResult& result) {
    if (result.outcome == SendOutcome::ModifiersHeld) return kModifiersHeldText;
    if (result.outcome == SendOutcome::Untypable) return untypableText(result.character);
    return kSendStoppedText;
}

// Shown for SendOutcome::NoKeyboard.
inline const QString kNoKeyboardTitle = QStringLiteral("Cannot Send");
inline const QString kNoKeyboardText = QStringLiteral(
    "Keystrokes cannot be sent on this desktop (it needs an X11 display, or a Wayland compositor "
    "that offers a virtual keyboard), so nothing was sent.");

// Shown for SendOutcome::NotAllowed.
inline const QString kNotAllowedText = QStringLiteral(
    "The desktop did not let Quillock type into other windows (the permission was refused), "
    "so nothing was sent. Quillock asks again after a restart.");

} // namespace ql
