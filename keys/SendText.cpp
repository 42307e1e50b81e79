#include "keys/SendText.h"
#include "keys/AsciiCase.h"

namespace ql {
namespace {

// Cuts to `width` UTF-16 units without leaving half a character behind.
void cutTo(QString& text, int width) {
    if (text.size() <= width) return;
    if (width > 0 && text[width - 1].isHighSurrogate()) --width;
    text.truncate(width);
}

} // namespace

void ReplaceAllTokens(QString& buffer, int width, const QString& token, const QString& value) {
    const QString upperToken = asciiUpper(token);
    const QString& inserted = value;
    cutTo(buffer, width);
    int from = 0;
    for (;;) {
        int at = asciiUpper(buffer).indexOf(upperToken, from);
        if (at < 0 || upperToken.isEmpty()) return;
        buffer.replace(at, upperToken.size(), inserted);
        cutTo(buffer, width);
        from = at + inserted.size();
    }
}

QString ExpandSendText(const QString& sendText, const SendFields& fields) {
    QString buffer = sendText;
    const std::pair<const char*, const QString*> tokens[] = {
        {"[PASSWORD]", &fields.password}, {"[NAME]", &fields.name},
        {"[URL]", &fields.url},           {"[SERVICE]", &fields.service},
        {"[NOTES]", &fields.notes},       {"[MORENOTES]", &fields.moreNotes},
    };
    for (const auto& [token, value] : tokens)
        ReplaceAllTokens(buffer, kSendTextWidth, QString::fromLatin1(token), *value);
    return buffer;
}

} // namespace ql
