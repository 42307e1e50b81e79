#pragma once
#include <QString>
#include <functional>

namespace ql {

class MonitorLists;
class MonitorNotifications;

// What saving a watched entry does in the main program: the owner goes into
// WatchedUsers with the action "C" (added, or updated when present) and the
// frame is asked to reload the watched entries (MonitorReload).
std::function<void(const QString& userName)> watchedEntryHook(MonitorLists& lists,
                                                              MonitorNotifications& notifications);

} // namespace ql
