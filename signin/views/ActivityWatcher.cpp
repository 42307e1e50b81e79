#include "signin/views/ActivityWatcher.h"
#include <QEvent>

namespace ql {

ActivityWatcher::ActivityWatcher(std::function<void()> onActivity, QObject* parent)
    : QObject(parent), onActivity_(std::move(onActivity)) {}

bool ActivityWatcher::isUserEvent(int eventType) {
    switch (eventType) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

bool ActivityWatcher::eventFilter(QObject* watched, QEvent* event) {
    // Each input event reaches the filter once per widget it propagates through;
    // counting it once per window is enough.
    if (isUserEvent(event->type()) && watched->isWidgetType() && onActivity_) onActivity_();
    return QObject::eventFilter(watched, event);
}

} // namespace ql
