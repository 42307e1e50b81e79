#include "entries/ClipboardFilter.h"
#include "platform/records/Record.h"

namespace ql {

namespace {
constexpr qsizetype kFilterWidth = 10000;

bool removed(QChar c) {
    const char16_t code = c.unicode();
    // Beyond code 127 nothing stays, even the few letters whose capital is ASCII.
    return code < 31 || code > 127 || c.toUpper().unicode() > u'Z';
}
} // namespace

QString filterListClipboard(const QString& clipboardText) {
    const QStringView text = trimmedRight(QStringView(clipboardText).left(kFilterWidth));
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (removed(c)) continue;
        if (c == u' ' && i + 1 < text.size() && text[i + 1] == u' ') continue;
        out += c;
    }
    return out;
}

} // namespace ql
