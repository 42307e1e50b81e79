#include "monitor/MonitorQueue.h"
#include <algorithm>

namespace ql {

QString withoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.left(end);
}

bool sameUser(const QString& a, const QString& b) {
    return withoutTrailingBlanks(a).compare(withoutTrailingBlanks(b), Qt::CaseInsensitive) == 0;
}

RowId MonitorQueue::insert(MonitorRow row) {
    row.titlePattern.truncate(kPatternWidth);
    row.contents.truncate(kContentsWidth);
    row.sendText.truncate(kSendTextWidth);
    row.userName.truncate(kUserWidth);
    auto pos = std::upper_bound(entries_.begin(), entries_.end(), row.titlePattern,
                                [](const QString& pattern, const Entry& e) {
                                    return pattern < e.row.titlePattern;
                                });
    RowId id = nextId_++;
    entries_.insert(pos, Entry{id, std::move(row)});
    return id;
}

std::vector<MonitorRow> MonitorQueue::rows() const {
    std::vector<MonitorRow> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) out.push_back(e.row);
    return out;
}

std::vector<RowId> MonitorQueue::ids() const {
    std::vector<RowId> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) out.push_back(e.id);
    return out;
}

std::vector<MonitorQueue::Entry>::iterator MonitorQueue::locate(RowId id) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [id](const Entry& e) { return e.id == id; });
}

std::optional<MonitorRow> MonitorQueue::find(RowId id) const {
    for (const Entry& e : entries_)
        if (e.id == id) return e.row;
    return std::nullopt;
}

bool MonitorQueue::replace(RowId id, const MonitorRow& row) {
    auto it = locate(id);
    if (it == entries_.end()) return false;
    it->row = row;
    return true;
}

bool MonitorQueue::remove(RowId id) {
    auto it = locate(id);
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

int MonitorQueue::removeUser(const QString& userName) {
    return int(std::erase_if(entries_, [&](const Entry& e) {
        return sameUser(e.row.userName, userName);
    }));
}

int MonitorQueue::removeWatched() {
    return int(std::erase_if(entries_, [](const Entry& e) { return e.row.oneShot == 0; }));
}

} // namespace ql
