#include "entries/EntrySearch.h"
#include <QRegularExpression>

namespace ql {

namespace {

// Searched texts are read whole up to this length (a notes field's size).
constexpr int kSearchedTextLimit = 32767;

} // namespace

QString foldForSearch(QStringView text) {
    const QString decomposed = text.toString().toCaseFolded().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing) continue;
        folded.append(c);
    }
    // Decomposition may leave capitals behind (a compatibility form of one).
    // Simple case folding keeps the sharp s, which reads "ss".
    return folded.toCaseFolded().replace(u'\u00df', QStringLiteral("ss"));
}

QStringList searchWords(const QString& typed) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList words = foldForSearch(typed).split(blanks, Qt::SkipEmptyParts);
    words.removeDuplicates();
    return words;
}

bool holdsEveryWord(QStringView folded, const QStringList& words) {
    for (const QString& word : words)
        if (!folded.contains(word)) return false;
    return true;
}

void EntrySearchIndex::clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    complete_ = false;
}

bool EntrySearchIndex::readMore(DataTable& table, const KeyRange& range,
                                const std::vector<int>& fields, int chunk) {
    if (complete_) return false;
    std::vector<RangeRow> rows;
    const int rc = entries_.empty()
                       ? table.readRange(range, 0, chunk, false, fields, kSearchedTextLimit, rows)
                       : table.readRangeAfter(range, entries_.back().place, 0, chunk, fields,
                                              kSearchedTextLimit, rows);
    if (rc != 0) rows.clear();
    for (const RangeRow& row : rows) {
        QString text;
        for (const QVariant& value : row.values) {
            text += foldForSearch(value.toString());
            text += u'\n'; // no word holds a blank, so none spans two fields
        }
        entries_.push_back({row.mark(), std::move(text)});
    }
    complete_ = int(rows.size()) < chunk;
    return !complete_;
}

std::vector<int> EntrySearchIndex::find(const QStringList& words) const {
    std::vector<int> found;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (holdsEveryWord(entries_[i].text, words)) found.push_back(int(i));
    return found;
}

std::vector<int> EntrySearchIndex::findAmong(const std::vector<int>& positions,
                                             const QStringList& words) const {
    std::vector<int> found;
    for (int p : positions)
        if (p >= 0 && p < size() && holdsEveryWord(entries_[size_t(p)].text, words)) found.push_back(p);
    return found;
}

} // namespace ql
