#include "entries/PasswordGenerator.h"
#include "entries/PasswordTypes.h"
#include <array>
#include <algorithm>

namespace ql {

namespace {
constexpr int kLongestPassword = 128;

uint32_t pickBound(qint64 count) { return uint32_t(std::min<qint64>(count, UINT32_MAX)); }
} // namespace

PasswordGenerator::PasswordGenerator(RandomSource& random, WordSource& words)
    : random_(random), words_(words) {}

Prompt PasswordGenerator::noWordOfThatSize() {
    return {QStringLiteral("Warning"),
            QStringLiteral("There are no words that size in the database - a random word has "
                           "been picked."),
            int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation};
}

Prompt PasswordGenerator::emptyWordList() {
    return {QString(), QStringLiteral("Don't delete things!"), int(PromptButton::Ok),
            PromptButton::Ok, PromptIcon::Exclamation};
}

GeneratedPassword PasswordGenerator::generate(const QString& type, int size,
                                              const QString& concatenation) {
    if (type == password_type::Word) return word(size);
    if (type == password_type::ConcatenatedWords) return joinedWords(concatenation);
    return {randomCharacters(characterSet(type), size), std::nullopt};
}

QString PasswordGenerator::randomCharacters(const QString& set, int size) {
    size = std::clamp(size, 0, kLongestPassword);
    std::array<uint32_t, kLongestPassword> positions{};
    random_.draw(uint32_t(set.size()), std::span<uint32_t>(positions.data(), size_t(size)));
    QString password(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) password[i] = set[positions[size_t(i)]];
    positions.fill(0);
    return password;
}

// Stops at the first word of the wanted length; otherwise the last word read
// stays (a missing record keeps the word read before it).
GeneratedPassword PasswordGenerator::word(int size) {
    const qint64 count = words_.count();
    QString password;
    for (int attempt = 0; attempt < kWordAttempts && count > 0; ++attempt) {
        words_.read(random_.between(1, pickBound(count)), password);
        if (password.size() == size) return {password, std::nullopt};
    }
    return {password, noWordOfThatSize()};
}

GeneratedPassword PasswordGenerator::joinedWords(const QString& concatenation) {
    const qint64 count = words_.count();
    std::optional<QString> first = count > 0 ? shortWord(count, true) : std::nullopt;
    if (!first) return {QString(), emptyWordList()};
    const QString joiner = separator(concatenation);
    std::optional<QString> second = shortWord(count, false);
    if (!second) return {QString(), emptyWordList()};
    return {*first + joiner + *second, std::nullopt};
}

std::optional<QString> PasswordGenerator::shortWord(qint64 count, bool fromEnd) {
    QString word;
    for (int attempt = 0; attempt < kShortWordAttempts; ++attempt) {
        const qint64 pick = random_.between(1, pickBound(count));
        if (!words_.read(fromEnd ? count + 1 - pick : pick, word)) continue;
        if (word.size() >= kShortestJoinedWord && word.size() <= kLongestJoinedWord) return word;
    }
    return std::nullopt;
}

QString PasswordGenerator::separator(const QString& concatenation) {
    if (concatenation == concatenation_type::PlusSign) return QStringLiteral("+");
    if (concatenation == concatenation_type::Hyphen) return QStringLiteral("-");
    return QString::number(random_.between(1, 9));
}

} // namespace ql
