#pragma once
#include <QObject>

namespace ql {

// Notifications to the frame that owns the monitor. The post functions may be
// called from any thread; the signals are always delivered later, from the
// event loop of the thread this object lives in, never inside the caller.
class MonitorNotifications : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void postMonitorReload();
    void postMonitorRunNow();
    void postMinimizeFrame();

signals:
    void monitorReload();
    void monitorRunNow();
    void minimizeFrame();
};

} // namespace ql
