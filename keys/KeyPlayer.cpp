#include "keys/KeyPlayer.h"
#include "keys/AsciiCase.h"
#include "keys/KeyCodes.h"
#include <QChar>
#include <QList>

namespace ql {
namespace {

constexpr int kDefaultWaitHundredths = 50;

// The number after the first "=" of a pause body (leading digits only).
int waitLength(const QString& body) {
    int eq = body.indexOf(u'=');
    if (eq < 0) return kDefaultWaitHundredths;
    qint64 n = 0;
    for (int i = eq + 1; i < body.size() && body[i].isDigit() && body[i].unicode() < 128; ++i) {
        n = n * 10 + (body[i].unicode() - u'0');
        if (n > kHundredthsPerDay) return kHundredthsPerDay; // a day at most
    }
    return int(n);
}

// Strips one prefix; returns the modifier bits it adds, or -1 when none applies.
int stripPrefix(QString& body) {
    if (body.isEmpty()) return -1;
    switch (body[0].unicode()) {
    case u'+': body.remove(0, 1); return kShiftBit;
    case u'^': body.remove(0, 1); return kCtrlBit;
    case u'%': body.remove(0, 1); return kAltBit;
    case u'-': body.remove(0, 1); return 0;
    default: break;
    }
    if (startsWithNoCase(body, QStringLiteral("CTR"))) { body.remove(0, 4); return kCtrlBit; }
    if (startsWithNoCase(body, QStringLiteral("ALT"))) { body.remove(0, 3); return kAltBit; }
    if (startsWithNoCase(body, QStringLiteral("SHI"))) { body.remove(0, 5); return kShiftBit; }
    return -1;
}

} // namespace

bool isShiftedCharacter(char32_t ch) {
    static const char32_t kShifted[] = U"~!@%^&*()_+|{}:\"<>?$#";
    for (char32_t s : kShifted)
        if (s && s == ch) return true;
    return false;
}

ParsedKey KeyPlayer::ParseKeyToken(const QString& text) {
    QString body = text;
    int modifiers = 0;
    for (int bits = stripPrefix(body); bits >= 0; bits = stripPrefix(body))
        modifiers |= bits;
    if (startsWithNoCase(body, QStringLiteral("WAIT"))) {
        DelayHundredths(waitLength(body));
        return {0, true};
    }
    int at = asciiUpper(body).indexOf(u"KEY");
    if (at >= 0) body.remove(at, 3);
    int code = LookupKeyName(body);
    return {code ? (code | modifiers) : 0, false};
}

void KeyPlayer::PressKey(int code) {
    const int modifierKeys[] = {kVkShift, kVkCtrl, kVkAlt};
    const int modifierBits[] = {kShiftBit, kCtrlBit, kAltBit};
    for (int i = 0; i < 3; ++i)
        if (code & modifierBits[i]) keyboard_.keyDown(modifierKeys[i]);
    int key = code & 0xFF;
    if (isMouseCode(key)) {
        keyboard_.click(key & 3, (key & kMouseDoubleBit) ? 2 : 1);
    } else {
        keyboard_.keyDown(key);
        keyboard_.keyUp(key);
    }
    for (int i = 0; i < 3; ++i)
        if (code & modifierBits[i]) keyboard_.keyUp(modifierKeys[i]);
}

bool KeyPlayer::TypeText(const QString& text, char32_t* failed) {
    for (char32_t ch : text.toUcs4()) {
        if (!typeCharacter(ch)) {
            if (failed) *failed = ch;
            return false;
        }
    }
    return true;
}

bool KeyPlayer::typeCharacter(char32_t ch) {
    bool caps = keyboard_.capsLockOn();
    bool shift;
    if (QChar::isLower(ch)) shift = caps;
    else if (QChar::isUpper(ch)) shift = !caps;
    else shift = isShiftedCharacter(ch);
    return keyboard_.typeCharacter(ch, shift);
}

// One running count of hundredths across days, so midnight is crossed correctly.
qint64 KeyPlayer::moment() const {
    return qint64(clock_.today()) * kHundredthsPerDay + clock_.now();
}

bool KeyPlayer::WaitUntil(const std::function<bool()>& done, int n) {
    const qint64 deadline = moment() + n;
    while (!done()) {
        if (moment() > deadline) return false;
        DelayHundredths(1);
    }
    return true;
}

void KeyPlayer::DelayHundredths(int n) {
    const qint64 deadline = moment() + n;
    for (;;) {
        clock_.processEvents();
        if (n <= 0 || moment() > deadline) return; // a zero wait is one pass

        if (idle) idle();
    }
}

} // namespace ql
