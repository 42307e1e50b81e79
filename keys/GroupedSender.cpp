#include "keys/GroupedSender.h"
#include "keys/AsciiCase.h"

namespace ql {
namespace {

constexpr int kAfterBracketHundredths = 10;

// Number of UTF-16 units holding the first `count` characters of `text`, so a
// group never splits a character outside the basic plane.
int unitsForCharacters(const QString& text, int limit, int count) {
    int units = 0;
    for (int c = 0; c < count && units < limit; ++c)
        units += (text[units].isHighSurrogate() && units + 1 < limit) ? 2 : 1;
    return units;
}

} // namespace

SendResult GroupedSender::SendKeysGrouped(const QString& line, SendPacing pacing,
                                          WindowHandle target) {
    SendGuard guard(player_, windows_);
    SendResult result = guard.begin(target);
    if (result == SendOutcome::Completed) {
        player_.keyboard().prepareLine(line);
        result = playLine(line, pacing.limited(), guard);
    }
    return guard.finish(result);
}

SendResult GroupedSender::playLine(const QString& line, SendPacing pacing, SendGuard& guard) {
    QString rest = line;
    while (!rest.isEmpty()) { // trailing blanks are typed: they may end the password
        SendResult ready = guard.beforeItem();
        if (ready != SendOutcome::Completed) return ready;
        char32_t failed = 0;
        int open = rest.indexOf(u'[');
        if (open < 0) {
            if (!player_.TypeText(rest, &failed))
                return {SendOutcome::Untypable, failed};
            return SendOutcome::Completed;
        }
        if (open == 0) {
            int close = rest.indexOf(u']', 1);
            SendResult played = playBracket(close < 0 ? rest.mid(1) : rest.mid(1, close - 1));
            if (played != SendOutcome::Completed) return played;
            rest = close < 0 ? QString() : rest.mid(close + 1);
            player_.DelayHundredths(kAfterBracketHundredths);
        } else {
            int units = unitsForCharacters(rest, open, pacing.groupSize);
            if (!player_.TypeText(rest.left(units), &failed))
                return {SendOutcome::Untypable, failed};
            rest = rest.mid(units);
        }
        player_.DelayHundredths(pacing.groupDelay);
    }
    return SendOutcome::Completed;
}

SendResult GroupedSender::playBracket(const QString& body) {
    if (asciiUpper(body) == u"PAUSE") return SendOutcome::Completed;
    ParsedKey key = player_.ParseKeyToken(body);
    if (key.pause) return SendOutcome::Completed;
    if (key.code) {
        player_.PressKey(key.code);
        return SendOutcome::Completed;
    }
    char32_t failed = 0;
    if (!player_.TypeText(body, &failed)) return {SendOutcome::Untypable, failed};
    return SendOutcome::Completed;
}

} // namespace ql
