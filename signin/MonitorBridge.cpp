#include "signin/MonitorBridge.h"

namespace ql {

QStringList MonitorBridge::watchedUserNames() {
    QStringList names;
    for (const WatchedUser& row : monitor_.lists().watchedRows()) names << row.userName;
    return names;
}

void MonitorBridge::reloadAllWatched() {
    monitor_.switchMonitoring(true);
    notifications_.postMonitorReload();
}

} // namespace ql
