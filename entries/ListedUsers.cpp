#include "entries/ListedUsers.h"
#include "monitor/MonitorLists.h"
#include "monitor/MonitorNotifications.h"
#include "platform/records/Record.h"

namespace ql {

namespace {
QString userKey(const QString& user) { return trimmedRight(user).toString().toCaseFolded(); }
} // namespace

ListedUsers::ListedUsers(MonitorLists& lists, MonitorNotifications& notifications)
    : lists_(lists), notifications_(notifications) {}

void ListedUsers::opened(const QString& user) {
    ++open_[userKey(user)];
    bool present = false;
    for (const WatchedUser& row : lists_.watchedRows())
        if (userKey(row.userName) == userKey(user)) present = true;
    lists_.setWatched(user, present ? WatchAction::Changed : WatchAction::Load);
    notifications_.postMonitorReload();
}

void ListedUsers::closed(const QString& user) {
    const QString key = userKey(user);
    if (auto it = open_.find(key); it != open_.end() && --it.value() > 0) return;
    open_.remove(key);
    lists_.setWatched(user, WatchAction::Drop);
    notifications_.postMonitorReload();
}

int ListedUsers::lists(const QString& user) const { return open_.value(userKey(user)); }

} // namespace ql
