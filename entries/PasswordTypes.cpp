#include "entries/PasswordTypes.h"
#include <QStringList>

namespace ql {

namespace {
QString matching(const QString& stored, const QStringList& known) {
    const QString text = stored.trimmed();
    for (const QString& name : known)
        if (text.compare(name, Qt::CaseInsensitive) == 0) return name;
    return {};
}
} // namespace

QString normalizedPasswordType(const QString& stored) {
    namespace pt = password_type;
    if (stored.trimmed().compare(pt::ConcatenatedWord, Qt::CaseInsensitive) == 0)
        return pt::ConcatenatedWords;
    return matching(stored, {pt::Word, pt::ConcatenatedWords, pt::AlphabetOnly, pt::Alphanumeric,
                             pt::AllCharacters});
}

QString normalizedConcatenationType(const QString& stored) {
    namespace ct = concatenation_type;
    return matching(stored, {ct::PlusSign, ct::Hyphen, ct::Number});
}

int storedChoice(const QStringList& choices, const QString& stored,
                 QString (*normalize)(const QString&)) {
    const QString value = normalize(stored);
    if (value.isEmpty()) return -1;
    for (qsizetype i = 0; i < choices.size(); ++i)
        if (normalize(choices[i]) == value) return int(i);
    return -1;
}

const QString& characterSet(const QString& type) {
    if (type == password_type::AlphabetOnly) return kLowerLetters;
    if (type == password_type::Alphanumeric) return kAlphanumeric;
    return kAllCharacters;
}

} // namespace ql
