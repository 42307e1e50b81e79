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

SendOutcome DirectSender::SendKeysDirect(WindowHandle target, const QString& line, int focusMode) {
    WindowHandle previous = 0;
    WindowHandle guarded = target;
    if (focusMode != 0) {
        previous = windows_.focusedWindow();
        windows_.giveFocus(target);
    } else {
        guarded = windows_.focusedWindow();
    }
    SendOutcome outcome = playLine(line, guarded);
    if (outcome == SendOutcome::Completed) player_.DelayHundredths(kAfterKeyHundredths);
    // Hand the focus back only if it is still ours to give: after a stopped send
    // the user has put it somewhere on purpose.
    if (focusMode == 2 && previous != 0 && previous != target && windows_.focusedWindow() == target)
        windows_.giveFocus(previous);
    return outcome;
}

// Before every item the focus must still be on the guarded window: keystrokes
// go wherever the focus is, and a secret must not land in a window nobody chose.
SendOutcome DirectSender::playLine(const QString& line, WindowHandle guarded) {
    for (int pos = 0; pos < line.size();) {
        if (windows_.focusedWindow() != guarded) return SendOutcome::FocusLost;
        pos = playItem(line, pos);
    }
    return SendOutcome::Completed;
}

// Plays the item at `pos`; returns the position after it.
int DirectSender::playItem(const QString& line, int pos) {
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
    } else {
        player_.TypeText(line.mid(pos, width));
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
