#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace ql {

uint32_t kwinActiveLayoutGroup() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
        QStringLiteral("org.kde.KeyboardLayouts"), QStringLiteral("getLayout"));
    const QDBusReply<uint> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    return reply.isValid() ? reply.value() : 0;
}

} // namespace ql
