#include "keys/GroupedSender.h"
#include "keys/AsciiCase.h"

namespace ql {
namespace {

constexpr int kAfterBracketHundredths = 10;

QString withoutTrailingBlanks(QString text) {
    while (text.endsWith(u' ')) text.chop(1);
    return text;
}

// Number of UTF-16 units holding the first `count` characters of `text`, so a
// group never splits a character outside the basic plane.
int unitsForCharacters(const QString& text, int limit, int count) {
    int units = 0;
    for (int c = 0; c < count && units < limit; ++c)
        units += (text[units].isHighSurrogate() && units + 1 < limit) ? 2 : 1;
    return units;
}

} // namespace

SendOutcome GroupedSender::SendKeysGrouped(const QString& line, SendPacing pacing) {
    pacing = pacing.limited();
    const WindowHandle startedIn = windows_.focusedWindow();
    QString rest = line;
    while (!withoutTrailingBlanks(rest).isEmpty()) {
        if (windows_.focusedWindow() != startedIn) return SendOutcome::FocusLost;
        int open = rest.indexOf(u'[');
        if (open < 0) {
            player_.TypeText(withoutTrailingBlanks(rest));
            return SendOutcome::Completed;
        }
        if (open == 0) {
            int close = rest.indexOf(u']', 1);
            playBracket(close < 0 ? rest.mid(1) : rest.mid(1, close - 1));
            rest = close < 0 ? QString() : rest.mid(close + 1);
            player_.DelayHundredths(kAfterBracketHundredths);
        } else {
            int units = unitsForCharacters(rest, open, pacing.groupSize);
            player_.TypeText(rest.left(units));
            rest = rest.mid(units);
        }
        player_.DelayHundredths(pacing.groupDelay);
    }
    return SendOutcome::Completed;
}

void GroupedSender::playBracket(const QString& body) {
    if (asciiUpper(body) == u"PAUSE") return;
    ParsedKey key = player_.ParseKeyToken(body);
    if (key.pause) return;
    if (key.code) player_.PressKey(key.code);
    else player_.TypeText(body);
}

} // namespace ql
