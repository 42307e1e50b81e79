#include "entries/views/SearchField.h"
#include <QKeyEvent>

namespace ql {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("search"));
    setPlaceholderText(QStringLiteral("Search"));
    setToolTip(QStringLiteral("Show only the entries whose service, URL, name or notes hold every word typed"));
    setClearButtonEnabled(true);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        if (text().isEmpty()) break;
        clear();
        event->accept();
        return;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit toList();
        event->accept();
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace ql
