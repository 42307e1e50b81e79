#pragma once
#include <QObject>
#include <functional>

class QWidget;

namespace ql {

// Runs a check when the user leaves a control (Tab, Shift+Tab, a click or a
// mnemonic elsewhere); a refused check puts the focus back on the control.
// Focus lost to a message box, a popup or another window runs nothing.
class LeaveCheck : public QObject {
public:
    LeaveCheck(QWidget* control, std::function<bool()> check);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* control_;
    std::function<bool()> check_;
    bool checking_ = false;
};

} // namespace ql
