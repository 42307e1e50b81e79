#pragma once
// What the keystroke benchmarks type and how they print what they measured.
#include <QString>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace ql::key_bench {

// Letters, digits and punctuation, no brackets: a line with nothing to interpret.
inline const QString kPlainCharacters = QStringLiteral(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:-_!?@#$%&*()+=/");

enum class Ends { AsDrawn, Solid };

// A line of `length` characters drawn from `chars`. With Ends::Solid a blank
// at either end becomes an x, for receivers that trim what they print.
inline QString randomLine(std::mt19937& rng, const QString& chars, int length, Ends ends) {
    std::uniform_int_distribution<int> at(0, int(chars.size()) - 1);
    QString line;
    while (line.size() < length) line += chars[at(rng)];
    if (ends == Ends::Solid && line.endsWith(u' ')) line[line.size() - 1] = u'x';
    if (ends == Ends::Solid && line.startsWith(u' ')) line[0] = u'x';
    return line;
}

// The median of the rates, 0 when there are none.
inline double medianRate(std::vector<double> rates) {
    if (rates.empty()) return 0.0;
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

// Prints PREFIX_chars_per_s (the median rate) and PREFIX_exact (the share of
// lines that arrived exactly).
inline void printFigures(const char* prefix, const std::vector<double>& rates, int lines, int exact) {
    std::printf("%s_chars_per_s %.0f chars/s\n", prefix, medianRate(rates));
    std::printf("%s_exact %.2f ratio\n", prefix, lines ? double(exact) / lines : 0.0);
}

} // namespace ql::key_bench
