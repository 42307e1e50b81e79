#include "entries/views/TextExchange.h"
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

namespace ql {

TextExchange::TextExchange(Replace replace, QObject* parent)
    : QObject(parent), replace_(std::move(replace)) {}

void TextExchange::mark(QLineEdit* entry) {
    entry->setAcceptDrops(true);
    entry->setDragEnabled(false); // this filter offers the whole contents instead
    entry->installEventFilter(this);
}

// A press inside the selected text starts a drag once the mouse has moved far
// enough; a press elsewhere selects text as usual.
bool TextExchange::eventFilter(QObject* watched, QEvent* event) {
    auto* entry = qobject_cast<QLineEdit*>(watched);
    if (!entry) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int at = entry->cursorPositionAt(mouse->position().toPoint());
        pressed_ = mouse->button() == Qt::LeftButton && entry->hasSelectedText() &&
                   at >= entry->selectionStart() && at <= entry->selectionEnd();
        pressedAt_ = mouse->position().toPoint();
        return pressed_;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!pressed_ || (mouse->position().toPoint() - pressedAt_).manhattanLength() <
                             QApplication::startDragDistance())
            return pressed_;
        pressed_ = false;
        return drag(entry);
    }
    case QEvent::MouseButtonRelease:
        if (!pressed_) return false;
        pressed_ = false;
        entry->deselect();
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drop = static_cast<QDropEvent*>(event);
        const bool usable = !entry->isReadOnly() && entry->isEnabled() && drop->source() != entry &&
                            drop->mimeData()->hasText();
        if (usable) drop->acceptProposedAction();
        else drop->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->source() != entry && drop->mimeData()->hasText()) {
            replace_(entry, drop->mimeData()->text());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        }
        return true;
    }
    default: return false;
    }
}

bool TextExchange::drag(QLineEdit* source) {
    auto* data = new QMimeData;
    data->setText(source->text());
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    return true;
}

} // namespace ql
