#pragma once
#include "entries/WordSource.h"
#include "platform/core/Prompter.h"
#include "platform/core/RandomSource.h"
#include <QString>
#include <optional>

namespace ql {

// A new password and the message to show about it, if any.
struct GeneratedPassword {
    QString password;
    std::optional<Prompt> message;
};

// Makes one password of a given type: a dictionary word of a given length, two
// short words joined by a separator, or random characters from a set.
class PasswordGenerator {
public:
    static constexpr int kWordAttempts = 250;
    // Picks allowed for each short word before the list counts as having none.
    static constexpr int kShortWordAttempts = 10000;
    static constexpr int kShortestJoinedWord = 4;
    static constexpr int kLongestJoinedWord = 7;

    PasswordGenerator(RandomSource& random, WordSource& words);

    // `size` counts for "Word" and the character types; `concatenation` only
    // for "Concatenated Words".
    GeneratedPassword generate(const QString& type, int size, const QString& concatenation);

    // `size` characters, each at a uniformly chosen position of `set`.
    QString randomCharacters(const QString& set, int size);

    static Prompt noWordOfThatSize();
    static Prompt emptyWordList();

private:
    GeneratedPassword word(int size);
    GeneratedPassword joinedWords(const QString& concatenation);
    // A word of 4 to 7 letters, picking records either from the end or from
    // the start of the list; nullopt when none turned up.
    std::optional<QString> shortWord(qint64 count, bool fromEnd);
    QString separator(const QString& concatenation);

    RandomSource& random_;
    WordSource& words_;
};

} // namespace ql
