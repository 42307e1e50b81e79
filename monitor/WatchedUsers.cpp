#include "monitor/WatchedUsers.h"
#include "monitor/MonitorQueue.h"
#include <algorithm>

namespace ql {

namespace {
QString keyOf(const QString& userName) {
    return withoutTrailingBlanks(userName.left(WatchedUsers::kUserWidth)).toUpper();
}
} // namespace

void WatchedUsers::set(const QString& userName, QChar action) {
    QString key = keyOf(userName);
    auto pos = std::lower_bound(rows_.begin(), rows_.end(), key,
                                [](const WatchedUser& u, const QString& k) {
                                    return keyOf(u.userName) < k;
                                });
    if (pos != rows_.end() && keyOf(pos->userName) == key) {
        pos->action = action;
        return;
    }
    rows_.insert(pos, WatchedUser{withoutTrailingBlanks(userName.left(kUserWidth)), action});
}

bool WatchedUsers::remove(const QString& userName) {
    return std::erase_if(rows_, [&](const WatchedUser& u) {
        return sameUser(u.userName, userName);
    }) > 0;
}

void WatchedUsers::markAll(QChar action) {
    for (WatchedUser& u : rows_) u.action = action;
}

const WatchedUser* WatchedUsers::find(const QString& userName) const {
    for (const WatchedUser& u : rows_)
        if (sameUser(u.userName, userName)) return &u;
    return nullptr;
}

} // namespace ql
