#include "monitor/WindowMonitor.h"
#include "monitor/MonitorNotifications.h"

namespace ql {

WindowMonitor::WindowMonitor(const Services& services, const MonitorPolicy& policy)
    : services_(services),
      policy_(policy),
      finder_(services.windows),
      cycle_(lists_, finder_, services.keys, services.clock, services.prompter, policy) {}

MonitorRow WindowMonitor::rowFor(const WatchedEntry& entry) const {
    MonitorRow row;
    row.titlePattern = entry.titlePattern;
    row.contents = entry.contents;
    row.sendText = entry.sendText;
    row.dueTime = services_.clock.now() + entry.secondsToWait * 100;
    row.directSend = entry.directSend ? 1 : 0;
    row.userName = entry.user;
    return row;
}

void WindowMonitor::loadWatchedEntries(const QString& user) {
    for (const WatchedEntry& entry : services_.entries.monitoredEntries(user)) {
        MonitorRow row = rowFor(entry);
        row.repeatInterval = entry.doNotRepeatSeconds * 100;
        row.userName = user;
        row.settleSeconds = policy_.settleAfterFinding ? entry.secondsToWait : 0;
        lists_.insert(std::move(row));
    }
}

void WindowMonitor::dropUserEntries(const QString& user) { lists_.dropUser(user); }

void WindowMonitor::reloadWatchedEntries(const QString& user) {
    lists_.dropWatchedRows();
    loadWatchedEntries(user);
}

void WindowMonitor::processWatchedUsers() {
    if (lists_.watchedEmpty()) {
        lists_.clearQueue();
        return;
    }
    for (const WatchedUser& watched : lists_.watchedRows()) {
        if (watched.action == WatchAction::Drop) {
            dropUserEntries(watched.userName);
            lists_.removeWatched(watched.userName);
            continue;
        }
        if (watched.action == WatchAction::Changed) dropUserEntries(watched.userName);
        if (watched.action == WatchAction::Changed || watched.action == WatchAction::Load) {
            loadWatchedEntries(watched.userName);
            lists_.setWatched(watched.userName, WatchAction::UpToDate);
        }
    }
}

void WindowMonitor::queueOneShotSend(const WatchedEntry& entry) {
    MonitorRow row = rowFor(entry);
    row.oneShot = 1;
    lists_.insert(std::move(row));
    if (policy_.notifiesFrame && services_.notifications) {
        if (!lists_.monitoringOn()) services_.notifications->postMonitorRunNow();
        services_.notifications->postMinimizeFrame();
    }
}

void WindowMonitor::switchMonitoring(bool on) {
    lists_.clearQueue();
    if (on) lists_.markAllWatched(WatchAction::Load);
    lists_.setMonitoringOn(on);
}

} // namespace ql
