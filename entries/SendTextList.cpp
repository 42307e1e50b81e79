#include "entries/SendTextList.h"

namespace ql {

namespace se = store_error;

namespace {
const QString kPaste = QStringLiteral("SP_:PASTE");
}

SendTextList::SendTextList(FileManager& scriptPaste)
    : manager_(scriptPaste), table_(scriptPaste.def()) {}

const QStringList& SendTextList::defaults() {
    static const QStringList texts{
        QStringLiteral("[Name][Tab][Password][Enter]"), QStringLiteral("[Name][Tab]"),
        QStringLiteral("[Password][Enter]"), QStringLiteral("[URL][Tab]"),
        QStringLiteral("[Service][Enter][Password][Enter]"),
        QStringLiteral("[Name][Enter][Password][Enter]"), QStringLiteral("[Notes][Tab]"),
        QStringLiteral("[Password][Tab]")};
    return texts;
}

bool SendTextList::open() { return manager_.open(table_) == se::NoError; }

QStringList SendTextList::load() {
    QStringList texts;
    if (!table_.isOpen() || table_.setStoredOrder() != se::NoError) return texts;
    while (table_.next() == se::NoError) texts << table_.record().text(kPaste);
    return texts;
}

bool SendTextList::empty() { return table_.isOpen() && table_.records() == 0; }

void SendTextList::seedDefaults() {
    for (const QString& text : defaults()) add(text);
}

bool SendTextList::contains(const QString& text) {
    if (!table_.isOpen()) return false;
    table_.clearBuffer();
    table_.record().setText(kPaste, text);
    return table_.fetch(table_.def().keyIndex(QLatin1String("SP_:KEYPASTE"))) == se::NoError;
}

bool SendTextList::add(const QString& text) {
    if (!table_.isOpen()) return false; // the failed open was reported
    table_.clearBuffer();
    table_.record().setText(kPaste, text);
    return manager_.insert(table_) == se::NoError;
}

} // namespace ql
