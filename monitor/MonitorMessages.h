#pragma once
#include <QString>

namespace ql::MonitorMessages {

inline const QString kCannotSendTitle = QStringLiteral("Cannot Send");
inline QString cannotSendText(const QString& pattern) {
    return QStringLiteral("The associated window does not exist (") + pattern +
           QStringLiteral(").");
}

} // namespace ql::MonitorMessages
