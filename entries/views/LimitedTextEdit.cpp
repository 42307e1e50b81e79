#include "entries/views/LimitedTextEdit.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace ql {

LimitedTextEdit::LimitedTextEdit(int limit, QWidget* parent)
    : QPlainTextEdit(parent), limit_(limit) {
    setTabChangesFocus(true);
}

bool LimitedTextEdit::fits(qsizetype inserted) const {
    const QTextCursor cursor = textCursor();
    const qsizetype selected = cursor.selectionEnd() - cursor.selectionStart();
    return toPlainText().size() - selected + inserted <= limit_;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text.front().isPrint() || text == QLatin1String("\r"));
    if (inserts && !(event->modifiers() & Qt::ControlModifier) && !fits(text.size())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !fits(source->text().size())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace ql
