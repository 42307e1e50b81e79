#pragma once
#include "monitor/MonitorCycle.h"
#include "monitor/MonitorLists.h"
#include "monitor/MonitorPolicy.h"
#include "monitor/WatchedEntrySource.h"
#include "monitor/WindowFinder.h"

namespace ql {

class MonitorNotifications;

// The window monitor of one program: its two lists, the finder and the cycle,
// and the ways entries get into the queue.
class WindowMonitor {
public:
    struct Services {
        WindowSystem& windows;
        KeySender& keys;
        Clock& clock;
        Prompter& prompter;
        WatchedEntrySource& entries;
        MonitorNotifications* notifications = nullptr; // may be null
    };
    WindowMonitor(const Services& services, const MonitorPolicy& policy);

    // Queue rows for the user's monitored entries, due after their wait.
    void loadWatchedEntries(const QString& user);
    void dropUserEntries(const QString& user);
    // The one-user monitor: the watched rows give way to the user's monitored
    // entries as they are stored now; pending send requests stay queued.
    void reloadWatchedEntries(const QString& user);
    // Applies the actions of WatchedUsers (on MonitorReload).
    void processWatchedUsers();
    // An explicit request to send an entry now.
    void queueOneShotSend(const WatchedEntry& entry);

    // Marks the user for the next reload ("A", "C", "D").
    void watchUser(const QString& user, QChar action) { lists_.setWatched(user, action); }
    // The monitoring switch: on empties the queue and marks every watched user
    // for loading (the caller posts MonitorReload); off empties the queue.
    void switchMonitoring(bool on);
    bool monitoringOn() const { return lists_.monitoringOn(); }

    bool runMonitorCycle(bool forced) { return cycle_.runMonitorCycle(forced); }

    MonitorLists& lists() { return lists_; }
    WindowFinder& finder() { return finder_; }
    MonitorCycle& cycle() { return cycle_; }

private:
    Services services_;
    MonitorPolicy policy_;
    MonitorLists lists_;
    WindowFinder finder_;
    MonitorCycle cycle_;

    MonitorRow rowFor(const WatchedEntry& entry) const;
};

} // namespace ql
