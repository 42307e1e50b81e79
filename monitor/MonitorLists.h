#pragma once
#include "monitor/MonitorQueue.h"
#include "monitor/WatchedUsers.h"
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace ql {

// MonitorQueue and WatchedUsers behind one lock. Every call holds the lock only
// for its own duration and never calls out, so a cycle that processes events
// (and so may re-enter the monitor) cannot deadlock on it, and rows are named
// by id so that insertions during a cycle do not shift what the cycle walks.
class MonitorLists {
public:
    RowId insert(MonitorRow row);
    std::optional<MonitorRow> find(RowId id) const;
    bool replace(RowId id, const MonitorRow& row);
    // Removes the row; true when the queue is empty afterwards.
    bool removeAndCheckEmpty(RowId id);
    std::vector<RowId> idsLastToFirst() const;
    bool queueEmpty() const;
    size_t queueSize() const;
    std::vector<MonitorRow> queueRows() const;
    void clearQueue();
    int dropUser(const QString& userName);
    // Removes the watched rows; explicit send requests stay.
    int dropWatchedRows();

    void setWatched(const QString& userName, QChar action);
    bool removeWatched(const QString& userName);
    void markAllWatched(QChar action);
    std::vector<WatchedUser> watchedRows() const;
    bool watchedEmpty() const;

    bool monitoringOn() const { return monitoringOn_.load(); }
    void setMonitoringOn(bool on) { monitoringOn_.store(on); }

private:
    mutable std::mutex mutex_;
    MonitorQueue queue_;
    WatchedUsers watched_;
    std::atomic<bool> monitoringOn_{false};
};

} // namespace ql
