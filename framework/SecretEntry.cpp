#include "framework/SecretEntry.h"
#include <QLineEdit>

namespace ql {

void makeSecretEntry(QLineEdit& entry) {
    entry.setEchoMode(QLineEdit::Password);
    // Setting the text anew empties the history of edits.
    QObject::connect(&entry, &QLineEdit::textEdited, &entry, [&entry] {
        const int cursor = entry.cursorPosition();
        entry.setText(entry.text());
        entry.setCursorPosition(cursor);
    });
}

} // namespace ql
