#include "monitorapp/MonitorTicker.h"
#include "monitor/WindowMonitor.h"
#include "monitorapp/MonitorController.h"
#include "signin/SettingsKeys.h"

namespace ql {

void MonitorTicker::tick() {
    parts_.controller.trayLost();
    TrayAnimation& animation = parts_.animation;
    animation.setRed(parts_.values.askOnRestore != 0);
    parts_.window.setWindowIcon(animation.windowIcon());
    MonitorLists& lists = parts_.monitor.lists();
    if (!lists.queueEmpty() && lists.monitoringOn()) {
        parts_.monitor.runMonitorCycle(false);
        if (parts_.tray.present()) parts_.tray.change(animation.advance());
    }
    if (parts_.tray.present() && parts_.tray.picture() != animation.baseIcon() && lists.queueEmpty())
        parts_.tray.change(animation.baseIcon());
    if (++reloadCounter_ > kReloadAfter) reloadValues();
}

// The monitoring switch is the user's and is not read; the main program's
// changes to the other values reach the monitor here.
void MonitorTicker::reloadValues() {
    reloadMonitorValues(parts_.settings, parts_.values);
    reloadCounter_ = 0;
    if (valuesReloaded) valuesReloaded();
}

} // namespace ql
