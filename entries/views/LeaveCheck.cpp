#include "entries/views/LeaveCheck.h"
#include <QFocusEvent>
#include <QTimer>
#include <QWidget>

namespace ql {

LeaveCheck::LeaveCheck(QWidget* control, std::function<bool()> check)
    : QObject(control), control_(control), check_(std::move(check)) {
    control->installEventFilter(this);
}

bool LeaveCheck::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::FocusOut || checking_) return false;
    switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        break;
    default: return false;
    }
    checking_ = true;
    const bool accepted = check_();
    checking_ = false;
    if (!accepted) QTimer::singleShot(0, control_, [c = control_] { c->setFocus(); });
    return false;
}

} // namespace ql
