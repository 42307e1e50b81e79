#include "health/PasswordStrength.h"
#include "platform/secure/Wipe.h"
#include <zxcvbn.h>
#include <algorithm>
#include <array>
#include <cmath>

namespace ql {

namespace {
// The estimator's own margins: a password must need a few more guesses than
// the round number to reach the next score.
constexpr double kMargin = 5;
constexpr std::array<double, 4> kThresholds{1e3 + kMargin, 1e6 + kMargin, 1e8 + kMargin, 1e10 + kMargin};
} // namespace

int scoreFromGuessesLog10(double guessesLog10) {
    int score = 0;
    for (double threshold : kThresholds)
        if (guessesLog10 >= std::log10(threshold)) ++score;
    return score;
}

PasswordStrength estimateStrength(const QString& password) {
    if (password.isEmpty()) return {};
    QByteArray bytes = password.toUtf8();
    const double bits = ZxcvbnMatch(bytes.constData(), nullptr, nullptr);
    wipeBytes(bytes);
    PasswordStrength strength;
    strength.guessesLog10 = std::max(0.0, bits) * std::log10(2.0);
    strength.score = scoreFromGuessesLog10(strength.guessesLog10);
    return strength;
}

QString strengthWords(int score) {
    static const std::array<QString, 5> words{QStringLiteral("Very weak"), QStringLiteral("Weak"),
                                              QStringLiteral("Fair"), QStringLiteral("Strong"),
                                              QStringLiteral("Very strong")};
    return words[size_t(std::clamp(score, 0, 4))];
}

QString strengthText(int score) {
    return QString::number(std::clamp(score, 0, 4)) + QStringLiteral(" - ") + strengthWords(score);
}

} // namespace ql
