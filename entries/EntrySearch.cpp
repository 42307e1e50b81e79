#include "entries/EntrySearch.h"
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <numeric>

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
    texts_ = QByteArray();
    starts_ = {};
    places_ = {};
    complete_ = false;
}

bool EntrySearchIndex::readMore(DataTable& table, const KeyRange& range,
                                const std::vector<int>& fields, int chunk) {
    if (complete_) return false;
    std::vector<RangeRow> rows;
    const int rc = places_.empty()
                       ? table.readRange(range, 0, chunk, false, fields, kSearchedTextLimit, rows)
                       : table.readRangeAfter(range, places_.back(), 0, chunk, fields,
                                              kSearchedTextLimit, rows);
    if (rc != 0) rows.clear();
    for (const RangeRow& row : rows) {
        starts_.push_back(texts_.size());
        for (const QVariant& value : row.values) {
            texts_ += foldForSearch(value.toString()).toUtf8();
            texts_ += '\n'; // no word holds a blank, so none spans two fields
        }
        places_.push_back(row.mark());
    }
    complete_ = int(rows.size()) < chunk;
    if (complete_) texts_.squeeze();
    return !complete_;
}

QByteArrayView EntrySearchIndex::textOf(int position) const {
    const size_t p = size_t(position);
    const qsizetype end = p + 1 < starts_.size() ? starts_[p + 1] : texts_.size();
    return QByteArrayView(texts_).sliced(starts_[p], end - starts_[p]);
}

std::vector<int> EntrySearchIndex::all() const {
    std::vector<int> positions(places_.size());
    std::iota(positions.begin(), positions.end(), 0);
    return positions;
}

QByteArrayView EntrySearchIndex::fieldOf(int position, int field) const {
    QByteArrayView text = textOf(position);
    for (; field > 0; --field) {
        const qsizetype end = text.indexOf('\n');
        if (end < 0) return {};
        text = text.sliced(end + 1);
    }
    const qsizetype end = text.indexOf('\n');
    return end < 0 ? text : text.first(end);
}

// Folded texts in UTF-8 compare bytewise in the order of their characters.
void EntrySearchIndex::sortByField(std::vector<int>& positions, int field) const {
    std::vector<std::pair<QByteArrayView, int>> keyed;
    keyed.reserve(positions.size());
    for (int p : positions)
        if (p >= 0 && p < size()) keyed.emplace_back(fieldOf(p, field), p);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    positions.clear();
    for (const auto& [text, p] : keyed) positions.push_back(p);
}

// One pass over the whole block; after a hit, on from the next entry.
std::vector<int> EntrySearchIndex::holding(const QByteArray& word) const {
    std::vector<int> found;
    const char* const begin = texts_.constData();
    const size_t length = size_t(texts_.size());
    size_t from = 0, entry = 0;
    while (from < length) {
        const void* hit = memmem(begin + from, length - from, word.constData(), size_t(word.size()));
        if (!hit) break;
        const qsizetype at = static_cast<const char*>(hit) - begin;
        while (entry + 1 < starts_.size() && starts_[entry + 1] <= at) ++entry;
        found.push_back(int(entry));
        from = entry + 1 < starts_.size() ? size_t(starts_[entry + 1]) : length;
    }
    return found;
}

std::vector<int> EntrySearchIndex::find(const QStringList& words) const {
    std::vector<int> found;
    for (const QString& w : words) {
        std::vector<int> holders = holding(w.toUtf8());
        if (found.empty() && &w == &words.front()) {
            found = std::move(holders);
            continue;
        }
        std::vector<int> both;
        std::set_intersection(found.begin(), found.end(), holders.begin(), holders.end(),
                              std::back_inserter(both));
        found = std::move(both);
        if (found.empty()) break;
    }
    return found;
}

// Only the found entries' own texts are read: a narrower search after each
// typed letter costs what the entries found so far hold, not the whole block.
// Where nearly all of them are found, one pass over the block is quicker.
std::vector<int> EntrySearchIndex::findAmong(const std::vector<int>& positions,
                                             const QStringList& words) const {
    if (positions.size() > places_.size() / 2) {
        std::vector<int> found = find(words);
        std::vector<int> both;
        std::set_intersection(found.begin(), found.end(), positions.begin(), positions.end(),
                              std::back_inserter(both));
        return both;
    }
    std::vector<QByteArray> bytes;
    for (const QString& w : words) bytes.push_back(w.toUtf8());
    auto holds = [](QByteArrayView text, const QByteArray& w) {
        return memmem(text.data(), size_t(text.size()), w.constData(), size_t(w.size())) != nullptr;
    };
    std::vector<int> found;
    for (int p : positions) {
        if (p < 0 || p >= size()) continue;
        const QByteArrayView text = textOf(p);
        if (std::all_of(bytes.begin(), bytes.end(), [&](const QByteArray& w) { return holds(text, w); }))
            found.push_back(p);
    }
    return found;
}

} // namespace ql
