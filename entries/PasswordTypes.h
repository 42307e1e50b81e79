#pragma once
#include <QString>
#include <QStringList>

namespace ql {

// The generator's kinds of password and joiners, as stored in the Users record
// and the settings.
namespace password_type {
inline const QString Word = QStringLiteral("Word");
inline const QString ConcatenatedWords = QStringLiteral("Concatenated Words");
// The form in which the user setup window stores "Concatenated Words".
inline const QString ConcatenatedWord = QStringLiteral("Concatenated Word");
inline const QString AlphabetOnly = QStringLiteral("Alphabet Only");
inline const QString Alphanumeric = QStringLiteral("Alphanumeric");
inline const QString AllCharacters = QStringLiteral("All Characters");
} // namespace password_type

namespace concatenation_type {
inline const QString PlusSign = QStringLiteral("Plus Sign");
inline const QString Hyphen = QStringLiteral("Hyphen");
inline const QString Number = QStringLiteral("Number");
} // namespace concatenation_type

// Characters of the random types; a choice is a position in one of these.
inline const QString kLowerLetters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
inline const QString kAlphanumeric =
    QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890");
inline const QString kAllCharacters = kAlphanumeric + QStringLiteral("!@#$%&*(");

// The type as the window shows it: one of the five types, "Concatenated Word"
// read as "Concatenated Words", anything else blank.
QString normalizedPasswordType(const QString& stored);
// One of the three joiners, anything else blank.
QString normalizedConcatenationType(const QString& stored);
// The position in `choices` of the choice a stored value stands for, both
// read through `normalize` (letter case and the two spellings of the word
// types do not matter); -1 when none fits.
int storedChoice(const QStringList& choices, const QString& stored,
                 QString (*normalize)(const QString&));
// The characters a random type draws from (every type but the two word types
// not named here uses the largest set).
const QString& characterSet(const QString& type);

} // namespace ql
