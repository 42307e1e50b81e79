#include "monitor/MonitorNotifications.h"

namespace ql {

void MonitorNotifications::postMonitorReload() {
    QMetaObject::invokeMethod(this, [this] { emit monitorReload(); }, Qt::QueuedConnection);
}

void MonitorNotifications::postMonitorRunNow() {
    QMetaObject::invokeMethod(this, [this] { emit monitorRunNow(); }, Qt::QueuedConnection);
}

void MonitorNotifications::postMinimizeFrame() {
    QMetaObject::invokeMethod(this, [this] { emit minimizeFrame(); }, Qt::QueuedConnection);
}

} // namespace ql
