#pragma once
#include <QString>

namespace ql {

// How hard a password is to guess: the estimated number of guesses (as its
// base-10 logarithm) and a score from 0 (too guessable) to 4 (very
// unguessable), by dictionary, keyboard, sequence, date and repeat patterns.
struct PasswordStrength {
    double guessesLog10 = 0;
    int score = 0;
};

// Score thresholds on the number of guesses: below 10^3 is 0, below 10^6 is
// 1, below 10^8 is 2, below 10^10 is 3, anything more is 4.
int scoreFromGuessesLog10(double guessesLog10);

// The estimate for one password. A blank password scores 0 with no guesses.
// The text is only handed to the estimator in memory, and its copy wiped.
PasswordStrength estimateStrength(const QString& password);

// "Very weak", "Weak", "Fair", "Strong", "Very strong".
QString strengthWords(int score);
// "2 - Fair"
QString strengthText(int score);

} // namespace ql
