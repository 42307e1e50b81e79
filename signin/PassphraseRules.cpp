#include "signin/PassphraseRules.h"
#include <cmath>

namespace ql {

int passphraseBits(const QString& passphrase) {
    bool lower = false, upper = false, digit = false, symbol = false, other = false;
    int counted = 0;
    QChar previous;
    for (const QChar c : passphrase) {
        if (c >= u'a' && c <= u'z') lower = true;
        else if (c >= u'A' && c <= u'Z') upper = true;
        else if (c >= u'0' && c <= u'9') digit = true;
        else if (c.unicode() < 128) symbol = true;
        else other = true;
        if (c != previous) ++counted;
        previous = c;
    }
    const int pool = (lower ? 26 : 0) + (upper ? 26 : 0) + (digit ? 10 : 0) + (symbol ? 33 : 0) +
                     (other ? 100 : 0);
    return pool ? int(std::lround(counted * std::log2(double(pool)))) : 0;
}

QString strengthText(const QString& passphrase) {
    const int bits = passphraseBits(passphrase);
    const char* word = bits < 40 ? "weak" : bits < 60 ? "fair" : bits < 80 ? "good" : "strong";
    return QStringLiteral("Strength: about %1 bits (%2)").arg(bits).arg(QLatin1String(word));
}

QString passphraseRefusal(const PassphraseRequest& request) {
    using Action = PassphraseRequest::Action;
    if (request.action != Action::TurnOn && request.current.isEmpty())
        return QStringLiteral("Type the passphrase in use now.");
    if (request.action == Action::TurnOff) return {};
    if (request.next.size() < kMinPassphraseLength)
        return QStringLiteral("The passphrase needs at least %1 characters.").arg(kMinPassphraseLength);
    if (request.next != request.confirm)
        return QStringLiteral("The two passphrases are not the same.");
    return {};
}

} // namespace ql
