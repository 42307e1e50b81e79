#include "exchange/ExportFieldList.h"
#include "exchange/ExchangeFields.h"
#include <algorithm>

namespace ql {

ExportFieldList::ExportFieldList() {
    for (const ExchangeField& f : exchangeFields()) all_.push_back({f.name, f.exportPicture});
    chosen_ = all_;
}

int ExportFieldList::chosenIndex(const QString& name) const {
    for (size_t i = 0; i < chosen_.size(); ++i)
        if (chosen_[i].name == name) return int(i);
    return -1;
}

std::vector<int> ExportFieldList::add(const std::vector<int>& markedAll) {
    std::vector<int> marked;
    for (int row : markedAll) {
        if (row < 0 || row >= int(all_.size())) continue;
        int at = chosenIndex(all_[row].name);
        if (at < 0) {
            chosen_.push_back(all_[row]);
            at = int(chosen_.size()) - 1;
        }
        marked.push_back(at);
    }
    return marked;
}

void ExportFieldList::remove(const std::vector<int>& marked) {
    std::vector<int> rows = marked;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && row < int(chosen_.size())) chosen_.erase(chosen_.begin() + row);
}

int ExportFieldList::shiftUp(int row) {
    if (row <= 0 || row >= int(chosen_.size())) return row;
    std::swap(chosen_[row], chosen_[row - 1]);
    return row - 1;
}

int ExportFieldList::shiftDown(int row) {
    if (row < 0 || row + 1 >= int(chosen_.size())) return row;
    std::swap(chosen_[row], chosen_[row + 1]);
    return row + 1;
}

void ExportFieldList::setPicture(int row, const QString& picture) {
    if (row < 0 || row >= int(chosen_.size()) || picture.trimmed().isEmpty()) return;
    chosen_[row].picture = picture.trimmed();
}

QString ExportFieldList::typeText(int row) const {
    if (row < 0 || row >= int(chosen_.size())) return {};
    return exportTypeText(chosen_[row].picture);
}

} // namespace ql
