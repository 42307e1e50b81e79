#pragma once
#include <QListWidget>
#include <vector>

namespace ql {

// A list whose rows can be marked several at a time: a click marks only the
// clicked row, a control-click or the space bar toggles a row, a shift-click
// or shift with the arrow, page and home/end keys marks a range.
class MarkingList : public QListWidget {
    Q_OBJECT
public:
    explicit MarkingList(QWidget* parent = nullptr);
    std::vector<int> markedRows() const;
    void markRows(const std::vector<int>& rows);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ql
