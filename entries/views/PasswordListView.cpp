#include "entries/views/PasswordListView.h"
#include "entries/views/OneLineCellDelegate.h"
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace ql {

PasswordListView::PasswordListView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setItemDelegate(new OneLineCellDelegate(this));
    setAlternatingRowColors(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rows of one height: the view never measures rows it does not show.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
}

void PasswordListView::keyboardSearch(const QString& search) {
    if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > QApplication::keyboardInputInterval())
        typed_.clear();
    typed_ += search;
    sinceTyped_.start();
    if (!locator) return;
    if (const std::optional<int> row = locator(typed_)) highlight(*row, true);
}

void PasswordListView::highlight(int row, bool centre) {
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    const QModelIndex at = model()->index(row, 0);
    const bool inView = viewport()->rect().intersects(visualRect(at));
    setCurrentIndex(at);
    scrollTo(at, centre && !inView ? PositionAtCenter : EnsureVisible);
}

int PasswordListView::highlightedRow() const {
    const QModelIndex at = currentIndex();
    return at.isValid() ? at.row() : -1;
}

QModelIndex PasswordListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const bool longMove = action == MoveEnd || action == MovePageDown ||
                          (action == MoveHome && (modifiers & Qt::ControlModifier));
    if (longMove && beforeLongMove) beforeLongMove();
    typed_.clear();
    // Home and End move between rows, as in a list, not between columns.
    if (action == MoveEnd || action == MoveHome) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void PasswordListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Insert: emit insertPressed(); return;
    case Qt::Key_Delete: emit deletePressed(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: emit enterPressed(); return;
    case Qt::Key_Backspace:
        typed_.chop(1);
        sinceTyped_.start();
        if (locator && !typed_.isEmpty())
            if (const std::optional<int> row = locator(typed_)) highlight(*row, true);
        return;
    default: QTableView::keyPressEvent(event);
    }
}

} // namespace ql
