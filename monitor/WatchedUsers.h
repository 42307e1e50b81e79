#pragma once
#include <QChar>
#include <QString>
#include <vector>

namespace ql {

// What the next reload does for a watched user.
namespace WatchAction {
inline constexpr QChar Load = QLatin1Char('A');
inline constexpr QChar Changed = QLatin1Char('C');
inline constexpr QChar Drop = QLatin1Char('D');
inline constexpr QChar UpToDate = QLatin1Char(' ');
} // namespace WatchAction

struct WatchedUser {
    QString userName; // up to 128 characters, the key
    QChar action = WatchAction::UpToDate;
};

// The users whose watched entries are wanted, keyed by user name (trailing
// blanks and case do not count), kept in key order.
class WatchedUsers {
public:
    static constexpr int kUserWidth = 128;

    // Adds the user with the action, or sets the action of the present row.
    void set(const QString& userName, QChar action);
    bool remove(const QString& userName);
    void markAll(QChar action);
    bool empty() const { return rows_.empty(); }
    size_t size() const { return rows_.size(); }
    const std::vector<WatchedUser>& rows() const { return rows_; }
    const WatchedUser* find(const QString& userName) const;
    void clear() { rows_.clear(); }

private:
    std::vector<WatchedUser> rows_;
};

} // namespace ql
