#pragma once
#include "entries/EntrySearch.h"
#include "entries/PasswordListOrder.h"
#include "framework/Pictures.h"
#include "platform/recordstore/DataTable.h"
#include <QAbstractTableModel>
#include <QTimer>
#include <deque>
#include <map>
#include <optional>

namespace ql {

// One user's password entries in one sort order, as a table of six columns,
// read from the store a page at a time: only the pages around what is shown
// are held, never the user's whole range. Rows are found by position within
// the range of the order's key.
//
// Opening an order reads its first page only; the range is counted a moment
// later, from the event loop, once the first rows had time to be painted
// (counting a long range reads its whole index); the list then grows to its
// full length. While idle the model also notes the place of every 250th
// entry, so that jumping to a row, or to where typed text belongs, reads at
// most 250 index entries instead of counting from the start.
//
// While idle, once the range is counted and its places noted, the model also
// builds a search index of the range (the folded service, URL, name and notes
// of each entry, in memory only). A search shows just the entries holding
// every typed word, still in the tab's order, and answers from the index.
//
// A click on a column heading sorts by that column: by the key of the tab
// that orders by it (a tab of its own for the service, URL, name and change
// date; the expiry date's key over every entry); the notes, which no key
// orders, are sorted in memory from the search index's folded texts.
//
// The model reads through key ranges only: it never touches the table's
// record buffer or position, so the window that owns the table may use both.
class PasswordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Service, Url, Name, Notes, ExpiryDate, LastChangeDate, ColumnCount };
    // Beside the shown text: a column's stored value (a day number for the
    // dates), and for any column whether the entry is watched (P_:MONITOR).
    enum Role { StoredValueRole = Qt::UserRole + 1, WatchedRole };
    static constexpr int kPageRows = 100;
    static constexpr int kMarkSpacing = 250;
    static constexpr int kHeldPages = 8;
    static constexpr int kTextLimit = 255;
    static constexpr int kCountDelayMs = 50;
    static constexpr int kIndexChunk = 500;
    static constexpr int kFoundPageRows = 25;
    static constexpr int kDropIndexDelayMs = 200;

    // `passwords` must stay open while the model shows anything.
    explicit PasswordListModel(DataTable& passwords, QObject* parent = nullptr);

    // The picture of the two date columns ("@d17" unless set).
    void setDatePicture(const QString& picture);
    const QString& datePicture() const { return datePicture_.text(); }
    // Shows the user's entries in the tab's order; `today` bounds "Expired".
    void show(const QString& user, ListTab tab, int32_t today);
    // Reads again from the store (other windows may have changed the entries);
    // `today` bounds "Expired" from now on (the list may have stayed open
    // past midnight).
    void refresh(int32_t today);
    const QString& user() const { return user_; }
    ListTab tab() const { return tab_; }
    // The column a tab orders by, and the tab that orders by a column.
    static Column columnOfTab(ListTab tab);
    static std::optional<ListTab> tabOfColumn(int column);
    // Sorts by a column within the tab's entries: a column with a tab of its
    // own shows that tab.
    void sortBy(int column);
    Column sortColumn() const { return sortColumn_; }
    // The field of the sort column, where typed text locates.
    int sortField() const { return fields_[size_t(sortColumn_)]; }
    // Keeps only the entries whose service, URL, name or notes hold every
    // word of `typed`, ignoring case and accents; blank text shows them all.
    void search(const QString& typed);
    // The same, returning the row to highlight: the entry of `row` where it
    // is now, else the first row (-1 for none).
    int searchKeeping(const QString& typed, int row);
    bool searching() const { return !words_.isEmpty(); }
    // Builds what is left of the search index now.
    void completeIndex();
    bool indexComplete() const { return index_.complete(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The record number of the entry in a row; 0 when there is none.
    qint64 recordNumber(int row) const;
    // Counts the range now if that is still to come; the list has its full length after it.
    void countNow();
    bool counted() const { return counted_; }
    // True once the places of every kMarkSpacing-th entry are known.
    bool marksComplete() const { return marksComplete_; }
    // How many entries the model holds in memory right now.
    int heldRows() const;
    // The row of the first entry whose located field is not below `value`
    // (text ignoring case, or a day number), the last row when every entry
    // is below it; -1 for an empty list.
    int locate(const QVariant& value);
    // The row that shows a stored entry (a Passwords record with its record
    // number); -1 when the entry is not in the list.
    int rowOf(const Record& entry, qint64 recordNumber);
    // The place of the entry in a row, to find it again after the list
    // changed; nullopt when the row holds none.
    std::optional<RangeMark> placeOf(int row) const;
    // The row that shows the entry at a place; -1 when it is no longer listed.
    int rowOfPlace(const RangeMark& place);

signals:
    // The whole range was counted, or the places of the entries were noted.
    void settled();

private:
    using Page = std::vector<RangeRow>;

    KeyRange range() const;
    // Whether the rows are positions of the search index (a search, or an
    // order no key gives) rather than the key's range itself.
    bool byPositions() const { return searching() || sortColumn_ == Notes; }
    void orderFound();
    void dropIndex();
    void reset();
    void showFound();
    int readFoundPage(qint64 index, Page& rows) const;
    int locateFound(const QVariant& value) const;
    int rowOfFound(qint64 recordNumber) const;
    void startIdleWork(int delayMs = 0);
    void idleStep();
    void applyCount(qint64 total);
    bool noteNextMark();
    const RangeRow* rowAt(int row) const;
    const Page* page(qint64 index) const;
    int readPage(qint64 index, Page& rows) const;
    int readPageAfter(const RangeMark& mark, qint64 skip, Page& rows) const;
    qint64 locateByMarks(const QVariant& value);
    QString cellText(const RangeRow& row, int column) const;

    DataTable& table_;
    std::vector<int> fields_;
    Picture datePicture_;
    QString user_;
    ListTab tab_ = ListTab::Service;
    Column sortColumn_ = Service;
    int32_t today_ = 0;
    int key_ = -1;
    int rows_ = 0;
    bool counted_ = false;
    std::vector<RangeMark> marks_; // marks_[j]: just before position j * kMarkSpacing
    bool marksComplete_ = false;
    std::vector<int> searchFields_;
    EntrySearchIndex index_;
    QStringList words_;
    std::vector<int> found_; // index positions of the rows, in the order shown
    mutable std::map<qint64, Page> pages_;
    mutable std::deque<qint64> pageOrder_; // least recently used first
    QTimer idle_;
};

} // namespace ql
