#pragma once
#include <QString>
#include <vector>

namespace ql {

// What an import run did, for the summary at its end.
struct ImportTotals {
    struct Problem {
        int line;
        QString reason;
    };
    static constexpr size_t kProblemsKept = 10;

    int imported = 0;
    int skipped = 0;
    std::vector<Problem> problems;   // the first few skipped lines
    int shortened = 0;               // values cut to their field's size
    std::vector<int> shortenedLines; // the first few lines with such values
    bool moreShortenedLines = false;
    bool cancelled = false;
    bool failed = false;             // an entry could not be added: the run stopped

    void skip(int line, const QString& reason);
    void shorten(int line);
    // "N entries imported, M lines skipped", then the first skipped lines with
    // their reasons and the lines whose values were cut.
    QString summary() const;
};

} // namespace ql
