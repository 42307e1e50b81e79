#include "keys/DirectSender.h"

namespace ql {
namespace {

constexpr int kAfterKeyHundredths = 5;

// The repeat count in the (up to) four characters after the first blank; a
// missing, non-numeric, zero or negative count is 1.
int repeatCount(const QString& afterBlank) {
    bool ok = false;
    int n = afterBlank.left(4).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 1;
}

} // namespace

SendResult DirectSender::SendKeysDirect(WindowHandle target, const QString& line, int focusMode) {
    const WindowHandle previous = focusMode == 2 ? windows_.focusedWindow() : 0;
    SendGuard guard(player_, windows_);
    SendResult result = guard.begin(focusMode != 0 ? target : 0);
    if (result == SendOutcome::Completed) {
        player_.keyboard().prepareLine(line);
        result = playLine(line, guard);
    }
    if (result == SendOutcome::Completed) player_.DelayHundredths(kAfterKeyHundredths);
    result = guard.finish(result);
    // Hand the focus back only if it is still ours to give: after a stopped send
    // the user has put it somewhere on purpose.
    if (focusMode == 2 && previous != 0 && previous != target && windows_.hasFocus(target))
        windows_.requestFocus(previous, FocusWay::Direct);
    return result;
}

// Before every item the focus must still be on the guarded window and no
// modifier held: keystrokes go wherever the focus is, and a secret must not
// land in a window nobody chose or turn into shortcuts.
SendResult DirectSender::playLine(const QString& line, SendGuard& guard) {
    for (int pos = 0; pos < line.size();) {
        SendResult ready = guard.beforeItem();
        if (ready != SendOutcome::Completed) return ready;
        char32_t failed = 0;
        pos = playItem(line, pos, &failed);
        if (pos < 0) return {SendOutcome::Untypable, failed};
    }
    return SendOutcome::Completed;
}

// Plays the item at `pos`; returns the position after it, or -1 with the
// character in `failed` when it cannot be typed.
int DirectSender::playItem(const QString& line, int pos, char32_t* failed) {
    if (line[pos] == u'[') {
        int close = line.indexOf(u']', pos + 1);
        if (close > pos && close - pos <= kBracketReach && playBracket(line.mid(pos + 1, close - pos - 1)))
            return close + 1;
    }
    char32_t ch = line[pos].unicode();
    int width = 1;
    if (line[pos].isHighSurrogate() && pos + 1 < line.size() && line[pos + 1].isLowSurrogate()) {
        ch = QChar::surrogateToUcs4(line[pos], line[pos + 1]);
        width = 2;
    }
    if (ch < 32) {
        player_.PressKey(int(ch));
        player_.DelayHundredths(kAfterKeyHundredths);
    } else if (!player_.TypeText(line.mid(pos, width), failed)) {
        return -1;
    }
    return pos + width;
}

// True when the bracket was a pause or a key (pressed count times); false when
// its name is not a key, so the "[" is typed as a character.
bool DirectSender::playBracket(const QString& body) {
    int blank = body.indexOf(u' ');
    QString name = blank < 0 ? body : body.left(blank);
    int count = blank < 0 ? 1 : repeatCount(body.mid(blank + 1));
    ParsedKey key = player_.ParseKeyToken(name);
    if (key.pause) return true;
    if (!key.code) return false;
    for (int i = 0; i < count; ++i) player_.PressKey(key.code);
    if (key.code < 32 || key.code > 255) player_.DelayHundredths(kAfterKeyHundredths);
    return true;
}

} // namespace ql
