#pragma once
#include <QComboBox>
#include <functional>

namespace ql {

// An editable combo box that asks for its items again each time its list is
// opened; what is typed in it stays as it is.
class RefreshingComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit RefreshingComboBox(QWidget* parent = nullptr);
    // Runs before the list opens (it calls setItems).
    std::function<void()> beforePopup;
    // Replaces the items, keeping the edit text.
    void setItems(const QStringList& items);
    void showPopup() override;
};

} // namespace ql
