#pragma once
#include <QLineEdit>

namespace ql {

// The search field above a list: every change of its text is a search; Esc
// empties it (and, when empty already, goes on to the window); Down and Enter
// hand the keyboard to the list below.
class SearchField : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchField(QWidget* parent = nullptr);

signals:
    void toList();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ql
