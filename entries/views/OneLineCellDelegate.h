#pragma once
#include <QStyledItemDelegate>

namespace ql {

// Draws a cell's text on one line, cut with an ellipsis where the column ends.
// The style still draws the background, the highlight and the focus frame;
// the text is laid out once instead of the several times a general
// delegate needs for text that might wrap, so a full page of long notes
// paints quickly.
class OneLineCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace ql
