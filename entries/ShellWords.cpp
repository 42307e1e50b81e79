#include "entries/ShellWords.h"

namespace ql {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Reads a quoted part starting after its opening quote; false when unclosed.
bool readQuoted(const QString& line, qsizetype& i, QChar quote, QString& word) {
    for (; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == quote) return true;
        if (quote == u'"' && c == u'\\' && i + 1 < line.size() &&
            QStringView(u"\\\"$`").contains(line[i + 1])) {
            word += line[++i];
            continue;
        }
        word += c;
    }
    return false;
}

} // namespace

std::optional<QStringList> splitShellWords(const QString& commandLine) {
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        const QChar c = commandLine[i];
        if (isBlank(c)) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'\\') {
            if (++i == commandLine.size()) return std::nullopt;
            word += commandLine[i];
        } else if (c == u'\'' || c == u'"') {
            ++i;
            if (!readQuoted(commandLine, i, c, word)) return std::nullopt;
        } else {
            word += c;
        }
    }
    if (inWord) words << word;
    return words;
}

} // namespace ql
