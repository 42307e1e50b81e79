#pragma once
#include <QString>

namespace ql {

inline constexpr int kMinPassphraseLength = 8;

// A plain estimate of a passphrase's strength in bits: its length (a
// character that repeats the one before it does not count) times the bits of
// the character classes it draws from (lower case, upper case, digits,
// other ASCII, anything else).
int passphraseBits(const QString& passphrase);
// "Strength: about 52 bits (fair)".
QString strengthText(const QString& passphrase);

// What the passphrase window asks for.
struct PassphraseRequest {
    enum class Action { TurnOn, Change, TurnOff };
    Action action = Action::TurnOn;
    QString current; // the passphrase now in use (Change, TurnOff)
    QString next;    // the new one (TurnOn, Change) and its confirmation
    QString confirm;
};

// Why the request cannot go ahead, or an empty text.
QString passphraseRefusal(const PassphraseRequest& request);

} // namespace ql
