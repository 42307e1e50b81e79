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

void LimitedTextEdit::refuse(qsizetype inserted) {
    const QTextCursor cursor = textCursor();
    const qsizetype length =
        toPlainText().size() - (cursor.selectionEnd() - cursor.selectionStart()) + inserted;
    if (refused_) refused_(length, limit_);
    else QApplication::beep();
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text.front().isPrint() || text == QLatin1String("\r"));
    if (inserts && !(event->modifiers() & Qt::ControlModifier) && !fits(text.size())) {
        refuse(text.size());
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !fits(source->text().size())) {
        refuse(source->text().size());
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace ql
