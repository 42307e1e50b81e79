#include "entries/WatchedEntryHook.h"
#include "monitor/MonitorLists.h"
#include "monitor/MonitorNotifications.h"

namespace ql {

std::function<void(const QString&)> watchedEntryHook(MonitorLists& lists,
                                                     MonitorNotifications& notifications) {
    return [&lists, &notifications](const QString& userName) {
        lists.setWatched(userName, WatchAction::Changed);
        notifications.postMonitorReload();
    };
}

} // namespace ql
