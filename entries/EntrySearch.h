#pragma once
#include "platform/recordstore/DataTable.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace ql {

// Text as searching compares it: case folded, accents taken off through the
// Unicode decomposition ("Éric Müller" reads "eric muller"), compatibility
// forms such as ligatures spelled out.
QString foldForSearch(QStringView text);
// The words of typed text, folded; blanks of any kind separate them.
QStringList searchWords(const QString& typed);
// Whether folded text holds every one of the (folded) words.
bool holdsEveryWord(QStringView folded, const QStringList& words);

// The searchable texts of a range's entries, folded, in the range's key order,
// each with its place in the range. It lives in the process's memory only,
// the texts in one block (in UTF-8, most of them a byte a letter) so that a
// search is one quick pass over it; it is read a chunk at a time, so that
// building it never holds the display long.
class EntrySearchIndex {
public:
    void clear();
    // Reads up to `chunk` more entries of the range, with the given text
    // fields; false once the range ended (or could not be read).
    bool readMore(DataTable& table, const KeyRange& range, const std::vector<int>& fields, int chunk);
    bool complete() const { return complete_; }
    int size() const { return int(places_.size()); }
    const RangeMark& place(int position) const { return places_[size_t(position)]; }
    // The positions of the entries holding every word, in key order.
    std::vector<int> find(const QStringList& words) const;
    // The same among some positions only (a narrower search of found ones).
    std::vector<int> findAmong(const std::vector<int>& positions, const QStringList& words) const;
    // Every position, in key order.
    std::vector<int> all() const;
    // One field of an entry's folded text (0 for the first field read).
    QByteArrayView fieldOf(int position, int field) const;
    // The positions ordered by a field's folded text, entries of the same
    // text in key order.
    void sortByField(std::vector<int>& positions, int field) const;

private:
    std::vector<int> holding(const QByteArray& word) const;
    QByteArrayView textOf(int position) const;

    QByteArray texts_;               // each entry's fields, a line each
    std::vector<qsizetype> starts_;  // where each entry's text starts in texts_
    std::vector<RangeMark> places_;
    bool complete_ = false;
};

} // namespace ql
