#include "keys/KeystrokeSender.h"
#include <QThread>

namespace ql {

KeystrokeSender::KeystrokeSender(Keyboard& keyboard, Clock& clock, WindowSystem& windows,
                                 SendPacing pacing)
    : player_(keyboard, clock), grouped_(player_, windows), direct_(player_, windows),
      pacing_(pacing) {
    player_.idle = [] { QThread::msleep(1); };
}

SendResult KeystrokeSender::sendGrouped(const QString& line, WindowHandle target) {
    if (!player_.keyboard().available()) return SendOutcome::NoKeyboard;
    if (!player_.keyboard().prepareSend()) return SendOutcome::NotAllowed;
    return grouped_.SendKeysGrouped(line, pacing_, target);
}

SendResult KeystrokeSender::sendDirect(WindowHandle target, const QString& line, int focusMode) {
    if (!player_.keyboard().available()) return SendOutcome::NoKeyboard;
    if (!player_.keyboard().prepareSend()) return SendOutcome::NotAllowed;
    return direct_.SendKeysDirect(target, line, focusMode);
}

} // namespace ql
