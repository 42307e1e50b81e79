#pragma once
#include "monitor/MonitorNotifications.h"
#include "monitor/WindowMonitor.h"
#include "signin/FrameTicker.h"

namespace ql {

// The main frame's view of the window monitor.
class MonitorBridge : public FrameMonitor {
public:
    MonitorBridge(WindowMonitor& monitor, MonitorNotifications& notifications)
        : monitor_(monitor), notifications_(notifications) {}

    bool queueEmpty() override { return monitor_.lists().queueEmpty(); }
    void runCycle(bool forced) override { monitor_.runMonitorCycle(forced); }
    QStringList watchedUserNames() override;
    void emptyQueue() override { monitor_.lists().clearQueue(); }
    void setMonitoringOn(bool on) override { monitor_.lists().setMonitoringOn(on); }
    void reloadAllWatched() override;

private:
    WindowMonitor& monitor_;
    MonitorNotifications& notifications_;
};

} // namespace ql
