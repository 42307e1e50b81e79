#include "exchange/views/MarkingList.h"
#include <QKeyEvent>
#include <algorithm>

namespace ql {

MarkingList::MarkingList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

std::vector<int> MarkingList::markedRows() const {
    std::vector<int> rows;
    for (const QListWidgetItem* item : selectedItems()) rows.push_back(row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MarkingList::markRows(const std::vector<int>& rows) {
    clearSelection();
    for (int r : rows)
        if (QListWidgetItem* it = item(r)) it->setSelected(true);
    if (!rows.empty()) setCurrentRow(rows.back(), QItemSelectionModel::NoUpdate);
}

void MarkingList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (QListWidgetItem* it = currentItem()) it->setSelected(!it->isSelected());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace ql
