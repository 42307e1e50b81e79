#include "exchange/ImportTotals.h"
#include <QStringList>

namespace ql {

namespace {
QString count(int n, const char* one, const char* many) {
    return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}
} // namespace

void ImportTotals::skip(int line, const QString& reason) {
    ++skipped;
    if (problems.size() < kProblemsKept) problems.push_back({line, reason});
}

void ImportTotals::shorten(int line) {
    ++shortened;
    if (!shortenedLines.empty() && shortenedLines.back() == line) return;
    if (shortenedLines.size() < kProblemsKept) shortenedLines.push_back(line);
    else moreShortenedLines = true;
}

QString ImportTotals::summary() const {
    QString text = count(imported, "entry", "entries") + QStringLiteral(" imported, ") +
                   count(skipped, "line", "lines") + QStringLiteral(" skipped.");
    for (const Problem& p : problems)
        text += QStringLiteral("\nLine %1: %2").arg(p.line).arg(p.reason);
    if (size_t(skipped) > problems.size()) text += QStringLiteral("\n...");
    if (shortened > 0) {
        QStringList lines;
        for (int line : shortenedLines) lines << QString::number(line);
        text += QStringLiteral("\n\n") + count(shortened, "value was", "values were") +
                QStringLiteral(" longer than their field and cut to fit (") +
                (shortenedLines.size() == 1 ? QStringLiteral("line ") : QStringLiteral("lines ")) +
                lines.join(QStringLiteral(", ")) +
                (moreShortenedLines ? QStringLiteral(", ...") : QString()) +
                QStringLiteral(").");
    }
    return text;
}

} // namespace ql
