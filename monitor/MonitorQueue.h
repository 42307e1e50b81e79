#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace ql {

// One pending send of the window monitor.
struct MonitorRow {
    QString titlePattern;       // up to 255 characters
    QString contents;           // up to 40
    QString sendText;           // up to 255, field tokens already replaced
    int32_t dueTime = 0;        // time of day in hundredths; above a day = after midnight
    int32_t repeatInterval = 0; // hundredths; 0 = send once
    uint8_t oneShot = 0;
    uint8_t directSend = 0;
    QString userName;           // up to 128
    int32_t settleSeconds = 0;
};

// Identifies a row for as long as it stays in the queue, whatever is inserted
// or removed around it meanwhile.
using RowId = uint64_t;

// Rows sorted ascending by titlePattern; a new row goes in its sort position,
// after rows with the same pattern. Not thread-safe: MonitorLists guards it.
class MonitorQueue {
public:
    static constexpr int kPatternWidth = 255, kContentsWidth = 40, kSendTextWidth = 255,
                         kUserWidth = 128;

    RowId insert(MonitorRow row);
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }
    const MonitorRow& at(size_t index) const { return entries_[index].row; }
    std::vector<MonitorRow> rows() const;
    // Ids in queue order, first to last.
    std::vector<RowId> ids() const;
    std::optional<MonitorRow> find(RowId id) const;
    bool replace(RowId id, const MonitorRow& row);
    bool remove(RowId id);
    // Removes every row of the user; returns how many went.
    int removeUser(const QString& userName);
    // Removes every row that is not an explicit send request; returns how many went.
    int removeWatched();
    void clear() { entries_.clear(); }

private:
    struct Entry {
        RowId id;
        MonitorRow row;
    };
    std::vector<Entry> entries_;
    RowId nextId_ = 1;
    std::vector<Entry>::iterator locate(RowId id);
};

// Text compared the way the program compares fixed-width fields: trailing
// blanks do not count.
QString withoutTrailingBlanks(const QString& text);
bool sameUser(const QString& a, const QString& b);

} // namespace ql
