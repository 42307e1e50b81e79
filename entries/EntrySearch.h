#pragma once
#include "platform/recordstore/DataTable.h"
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
// each with its place in the range. It lives in the process's memory only
// and is read a chunk at a time, so that building it never holds the display
// long.
class EntrySearchIndex {
public:
    struct Entry {
        RangeMark place;
        QString text; // the folded fields, a line each
    };

    void clear();
    // Reads up to `chunk` more entries of the range, with the given text
    // fields; false once the range ended (or could not be read).
    bool readMore(DataTable& table, const KeyRange& range, const std::vector<int>& fields, int chunk);
    bool complete() const { return complete_; }
    int size() const { return int(entries_.size()); }
    const Entry& at(int position) const { return entries_[size_t(position)]; }
    // The positions of the entries holding every word, in key order.
    std::vector<int> find(const QStringList& words) const;
    // The same among some positions only (a narrower search of found ones).
    std::vector<int> findAmong(const std::vector<int>& positions, const QStringList& words) const;

private:
    std::vector<Entry> entries_;
    bool complete_ = false;
};

} // namespace ql
