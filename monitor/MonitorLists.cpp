#include "monitor/MonitorLists.h"
#include <algorithm>

namespace ql {

using Lock = std::lock_guard<std::mutex>;

RowId MonitorLists::insert(MonitorRow row) {
    Lock lock(mutex_);
    return queue_.insert(std::move(row));
}

std::optional<MonitorRow> MonitorLists::find(RowId id) const {
    Lock lock(mutex_);
    return queue_.find(id);
}

bool MonitorLists::replace(RowId id, const MonitorRow& row) {
    Lock lock(mutex_);
    return queue_.replace(id, row);
}

bool MonitorLists::removeAndCheckEmpty(RowId id) {
    Lock lock(mutex_);
    queue_.remove(id);
    return queue_.empty();
}

std::vector<RowId> MonitorLists::idsLastToFirst() const {
    Lock lock(mutex_);
    std::vector<RowId> ids = queue_.ids();
    std::reverse(ids.begin(), ids.end());
    return ids;
}

bool MonitorLists::queueEmpty() const {
    Lock lock(mutex_);
    return queue_.empty();
}

size_t MonitorLists::queueSize() const {
    Lock lock(mutex_);
    return queue_.size();
}

std::vector<MonitorRow> MonitorLists::queueRows() const {
    Lock lock(mutex_);
    return queue_.rows();
}

void MonitorLists::clearQueue() {
    Lock lock(mutex_);
    queue_.clear();
}

int MonitorLists::dropUser(const QString& userName) {
    Lock lock(mutex_);
    return queue_.removeUser(userName);
}

int MonitorLists::dropWatchedRows() {
    Lock lock(mutex_);
    return queue_.removeWatched();
}

void MonitorLists::setWatched(const QString& userName, QChar action) {
    Lock lock(mutex_);
    watched_.set(userName, action);
}

bool MonitorLists::removeWatched(const QString& userName) {
    Lock lock(mutex_);
    return watched_.remove(userName);
}

void MonitorLists::markAllWatched(QChar action) {
    Lock lock(mutex_);
    watched_.markAll(action);
}

std::vector<WatchedUser> MonitorLists::watchedRows() const {
    Lock lock(mutex_);
    return watched_.rows();
}

bool MonitorLists::watchedEmpty() const {
    Lock lock(mutex_);
    return watched_.empty();
}

} // namespace ql
