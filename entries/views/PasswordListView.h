#pragma once
#include <QElapsedTimer>
#include <QTableView>
#include <functional>
#include <optional>

namespace ql {

// The table of the password list. Typed text locates through a callback
// (characters typed in quick succession add up, as in any Qt view); moves to
// the far end first ask for the list's full length.
class PasswordListView : public QTableView {
    Q_OBJECT
public:
    explicit PasswordListView(QWidget* parent = nullptr);

    // The row typed text belongs at, or nullopt to stay.
    std::function<std::optional<int>(const QString& typed)> locator;
    // Runs before the highlight moves by a page or to an end.
    std::function<void()> beforeLongMove;

    void keyboardSearch(const QString& search) override;
    // Highlights a row and brings it into view (to the middle when `centre`
    // and it was out of view).
    void highlight(int row, bool centre = false);
    int highlightedRow() const;
    const QString& typed() const { return typed_; }

signals:
    void insertPressed();
    void deletePressed();
    void enterPressed();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString typed_;
    QElapsedTimer sinceTyped_;
};

} // namespace ql
