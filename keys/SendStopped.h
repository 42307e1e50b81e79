#pragma once
#include <QString>

namespace ql {

// Shown by whoever started a send that returned SendOutcome::FocusLost.
inline const QString kSendStoppedTitle = QStringLiteral("Send Stopped");
inline const QString kSendStoppedText = QStringLiteral(
    "The keyboard focus left the target window, so the rest of the text was not sent.");

} // namespace ql
