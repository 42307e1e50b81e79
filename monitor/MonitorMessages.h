#pragma once
#include <QString>

namespace ql::MonitorMessages {

inline const QString kCannotSendTitle = QStringLiteral("Cannot Send");
inline QString cannotSendText(const QString& pattern) {
    return QStringLiteral("The associated window does not exist (") + pattern +
           QStringLiteral(").");
}
inline const QString kSendStoppedTitle = QStringLiteral("Send Stopped");
inline const QString kSendStoppedText = QStringLiteral(
    "The keyboard focus left the target window, so the rest of the text was not sent.");

} // namespace ql::MonitorMessages
