#pragma once
#include <QHash>
#include <QString>

namespace ql {

class MonitorLists;
class MonitorNotifications;

// The users whose password lists are open, and what that means to the
// monitor: a list that opens marks its user in WatchedUsers for loading ("A",
// or "C" when the user is already there) and asks the frame to reload; the
// last list of a user that closes marks the user "D", so the user's watched
// entries leave the monitor then and not while another list still shows them.
class ListedUsers {
public:
    ListedUsers(MonitorLists& lists, MonitorNotifications& notifications);

    void opened(const QString& user);
    void closed(const QString& user);
    int lists(const QString& user) const;

private:
    MonitorLists& lists_;
    MonitorNotifications& notifications_;
    QHash<QString, int> open_; // by user name folded to one case, trailing blanks removed
};

} // namespace ql
