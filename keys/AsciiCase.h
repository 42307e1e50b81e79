#pragma once
#include <QString>

namespace ql {

// Upper-cases a-z only. Key names and field tokens are ASCII, and a full Unicode
// upper-casing could change the length of a text (ß becomes SS), which would
// break positions found in the upper-cased copy.
inline QString asciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return text;
}

// `upperPrefix` is given in upper case.
inline bool startsWithNoCase(const QString& text, const QString& upperPrefix) {
    return asciiUpper(text.left(upperPrefix.size())) == upperPrefix;
}

} // namespace ql
