#include "entries/views/RefreshingComboBox.h"
#include <QSignalBlocker>

namespace ql {

RefreshingComboBox::RefreshingComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void RefreshingComboBox::setItems(const QStringList& items) {
    const QString typed = currentText();
    const QSignalBlocker blocker(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(typed);
}

void RefreshingComboBox::showPopup() {
    if (beforePopup) beforePopup();
    QComboBox::showPopup();
}

} // namespace ql
