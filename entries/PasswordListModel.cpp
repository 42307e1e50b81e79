#include "entries/PasswordListModel.h"
#include <algorithm>
#include <memory>

namespace ql {

namespace {

const char* const kHeaders[] = {"Service", "URL (Link)", "Name", "Notes", "Expiry Date",
                                "Last Change Date"};
// The columns' fields, then the watched flag, which no column shows.
const char* const kFields[] = {"P_:SERVICE", "P_:URL",           "P_:NAME",   "P_:NOTES",
                               "P_:EXPIRYDATE", "P_:LASTCHANGEDATE", "P_:MONITOR"};
constexpr size_t kWatchedValue = 6;
constexpr int kMarksPerStep = 10;
// Service, URL, name and notes: the first fields.
constexpr int kSearchedFields = 4;

// Whether every entry holding the new words holds the old ones too.
bool narrows(const QStringList& before, const QStringList& now) {
    for (const QString& word : before)
        if (!std::any_of(now.begin(), now.end(), [&](const QString& w) { return w.contains(word); }))
            return false;
    return true;
}

// Orders a located value against a key value as the store's keys do: texts
// ignoring case, numbers as numbers.
int compareKeyValue(const QVariant& a, const QVariant& b) {
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const qint64 x = a.toLongLong(), y = b.toLongLong();
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

PasswordListModel::PasswordListModel(DataTable& passwords, QObject* parent)
    : QAbstractTableModel(parent), table_(passwords), datePicture_(QStringLiteral("@d17")) {
    for (const char* field : kFields) fields_.push_back(passwords.def().fieldIndex(QLatin1String(field)));
    searchFields_.assign(fields_.begin(), fields_.begin() + kSearchedFields);
    idle_.setInterval(0);
    connect(&idle_, &QTimer::timeout, this, &PasswordListModel::idleStep);
}

void PasswordListModel::setDatePicture(const QString& picture) {
    datePicture_ = Picture(picture);
    if (rows_ > 0) emit dataChanged(index(0, ExpiryDate), index(rows_ - 1, LastChangeDate));
}

KeyRange PasswordListModel::range() const {
    KeyRange r{key_, {QVariant(user_)}, {}, {}};
    if (listOrder(tab_).expiredOnly) {
        r.low = 1;
        r.high = today_;
    }
    return r;
}

void PasswordListModel::show(const QString& user, ListTab tab, int32_t today) {
    user_ = user;
    tab_ = tab;
    today_ = today;
    sortColumn_ = columnOfTab(tab);
    key_ = table_.def().keyIndex(listOrder(tab).key);
    dropIndex();
    reset();
}

// A whole index is a hundred thousand small blocks: they are let go a moment
// after the rows of the new order had time to be painted, not before.
void PasswordListModel::dropIndex() {
    if (index_.size() > kIndexChunk) {
        auto old = std::make_shared<EntrySearchIndex>(std::move(index_));
        QTimer::singleShot(kDropIndexDelayMs, this, [old] {});
    }
    index_.clear();
}

PasswordListModel::Column PasswordListModel::columnOfTab(ListTab tab) {
    switch (tab) {
    case ListTab::Service: return Service;
    case ListTab::Url: return Url;
    case ListTab::Name: return Name;
    case ListTab::Date: return LastChangeDate;
    case ListTab::Expired: return ExpiryDate;
    }
    return Service;
}

// The expiry date's tab lists the expired entries only: it sorts no others.
std::optional<ListTab> PasswordListModel::tabOfColumn(int column) {
    switch (column) {
    case Service: return ListTab::Service;
    case Url: return ListTab::Url;
    case Name: return ListTab::Name;
    case LastChangeDate: return ListTab::Date;
    default: return std::nullopt;
    }
}

void PasswordListModel::sortBy(int column) {
    if (column < 0 || column >= ColumnCount || column == sortColumn_) return;
    if (const std::optional<ListTab> tab = tabOfColumn(column)) {
        show(user_, *tab, today_);
        return;
    }
    sortColumn_ = Column(column);
    if (column == ExpiryDate) { // every entry of the user, by the expired tab's key
        key_ = table_.def().keyIndex(listOrder(ListTab::Expired).key);
        dropIndex();
    } // the notes are sorted among the same range: its index holds
    reset();
}

// In place, so that a view keeps its scroll position and highlighted row.
void PasswordListModel::refresh(int32_t today) {
    today_ = today;
    if (key_ < 0) return;
    dropIndex();
    if (byPositions()) {
        reset();
        return;
    }
    pages_.clear();
    pageOrder_.clear();
    marks_.assign(1, RangeMark{});
    marksComplete_ = false;
    counted_ = true;
    const qint64 total = std::max<qint64>(table_.countRange(range()), 0);
    const int count = int(std::min<qint64>(total, std::numeric_limits<int>::max()));
    if (count < rows_) {
        beginRemoveRows({}, count, rows_ - 1);
        rows_ = count;
        endRemoveRows();
    } else if (count > rows_) {
        beginInsertRows({}, rows_, count - 1);
        rows_ = count;
        endInsertRows();
    }
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
    marksComplete_ = rows_ < kMarkSpacing;
    startIdleWork();
}

// The first page alone; whether the range holds more is told by its count.
void PasswordListModel::reset() {
    beginResetModel();
    pages_.clear();
    pageOrder_.clear();
    marks_.assign(1, RangeMark{});
    marksComplete_ = false;
    if (byPositions()) { // the whole range is counted and noted while idle
        counted_ = false;
        showFound();
        endResetModel();
        startIdleWork();
        return;
    }
    Page first;
    readPage(0, first);
    rows_ = int(first.size());
    counted_ = rows_ < kPageRows;
    marksComplete_ = rows_ < kMarkSpacing && counted_;
    if (rows_ > 0) {
        pages_.emplace(0, std::move(first));
        pageOrder_.push_back(0);
    }
    endResetModel();
    startIdleWork(kCountDelayMs);
}

void PasswordListModel::search(const QString& typed) {
    const QStringList words = searchWords(typed);
    if (words == words_) return;
    // Narrowing keeps the found entries' order: the key's, not the notes'.
    const bool narrower =
        searching() && index_.complete() && sortColumn_ != Notes && narrows(words_, words);
    words_ = words;
    if (!byPositions()) { // the whole list again
        reset();
        return;
    }
    beginResetModel();
    pages_.clear();
    pageOrder_.clear();
    if (narrower) { // keeps the order of the rows
        found_ = index_.findAmong(found_, words_);
        rows_ = int(found_.size());
    } else {
        showFound();
    }
    endResetModel();
}

int PasswordListModel::searchKeeping(const QString& typed, int row) {
    const std::optional<RangeMark> place = placeOf(row);
    search(typed);
    const int found = place ? rowOfPlace(*place) : -1;
    return found >= 0 ? found : std::min(0, rows_ - 1);
}

void PasswordListModel::completeIndex() {
    if (key_ < 0) return;
    while (index_.readMore(table_, range(), searchFields_, kIndexChunk)) {}
}

void PasswordListModel::showFound() {
    completeIndex();
    found_ = searching() ? index_.find(words_) : index_.all();
    orderFound();
    rows_ = int(found_.size());
}

// The notes' order, from the index: their fields come after service, URL and name.
void PasswordListModel::orderFound() {
    if (sortColumn_ == Notes) index_.sortByField(found_, Notes);
}

void PasswordListModel::startIdleWork(int delayMs) {
    if (!counted_ || !marksComplete_ || (!index_.complete() && key_ >= 0))
        idle_.start(delayMs);
    else
        idle_.stop();
}

void PasswordListModel::idleStep() {
    if (idle_.interval() != 0) idle_.setInterval(0);
    const bool wasSettled = counted_ && marksComplete_;
    if (!counted_) {
        countNow();
    } else if (!marksComplete_) {
        for (int i = 0; i < kMarksPerStep && !marksComplete_; ++i)
            if (!noteNextMark()) marksComplete_ = true;
    } else if (key_ >= 0) {
        index_.readMore(table_, range(), searchFields_, kIndexChunk);
    }
    if (!wasSettled && counted_ && marksComplete_) emit settled();
    if (counted_ && marksComplete_ && (index_.complete() || key_ < 0)) idle_.stop();
}

void PasswordListModel::countNow() {
    if (counted_ || key_ < 0) return;
    applyCount(std::max<qint64>(table_.countRange(range()), 0));
    counted_ = true;
    if (!marksComplete_ && rows_ < kMarkSpacing) marksComplete_ = true;
    startIdleWork();
    if (marksComplete_) emit settled();
}

void PasswordListModel::applyCount(qint64 total) {
    if (byPositions()) return; // the rows are the index's positions
    const int count = int(std::min<qint64>(total, std::numeric_limits<int>::max()));
    if (count > rows_) {
        beginInsertRows({}, rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) { // entries went away since the first page was read
        beginRemoveRows({}, count, rows_ - 1);
        rows_ = count;
        endRemoveRows();
    }
}

// The place just before the next kMarkSpacing-th position: the last entry of
// the spacing after the last place noted. False when the range ends first.
bool PasswordListModel::noteNextMark() {
    std::vector<RangeRow> rows;
    const RangeMark& last = marks_.back();
    const int rc = marks_.size() == 1
                       ? table_.readRange(range(), kMarkSpacing - 1, 1, false, {}, 0, rows)
                       : table_.readRangeAfter(range(), last, kMarkSpacing - 1, 1, {}, 0, rows);
    if (rc != 0 || rows.empty()) return false;
    marks_.push_back(rows.front().mark());
    return true;
}

int PasswordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int PasswordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PasswordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kHeaders[section]);
}

QVariant PasswordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role != Qt::DisplayRole && role != StoredValueRole && role != WatchedRole) return {};
    const RangeRow* row = rowAt(index.row());
    if (!row || row->values.empty()) return {};
    if (role == WatchedRole) return row->values.at(kWatchedValue).toInt() != 0;
    if (role == StoredValueRole) return row->values.at(size_t(index.column()));
    return cellText(*row, index.column());
}

QString PasswordListModel::cellText(const RangeRow& row, int column) const {
    const QVariant& value = row.values.at(size_t(column));
    if (column == ExpiryDate || column == LastChangeDate)
        return datePicture_.format(value.toLongLong());
    QString text = value.toString();
    if (column == Notes) // one line of the notes, as far as the column shows
        text.replace(u'\n', u' ').remove(u'\r');
    return text;
}

qint64 PasswordListModel::recordNumber(int row) const {
    const RangeRow* r = rowAt(row);
    return r ? r->recordNumber : 0;
}

int PasswordListModel::heldRows() const {
    size_t held = 0;
    for (const auto& [index, rows] : pages_) held += rows.size();
    return int(held);
}

const RangeRow* PasswordListModel::rowAt(int row) const {
    if (row < 0 || row >= rows_) return nullptr;
    // Found entries are read one by one where they are apart: in smaller pages.
    const int pageRows = byPositions() ? kFoundPageRows : kPageRows;
    const Page* rows = page(row / pageRows);
    const size_t at = size_t(row % pageRows);
    return rows && at < rows->size() ? &(*rows)[at] : nullptr;
}

// A held page, or the page read now (the least recently used one let go).
const PasswordListModel::Page* PasswordListModel::page(qint64 index) const {
    auto found = pages_.find(index);
    if (found == pages_.end()) {
        Page rows;
        if (readPage(index, rows) != 0) return nullptr;
        found = pages_.emplace(index, std::move(rows)).first;
        if (pageOrder_.size() >= size_t(kHeldPages)) {
            pages_.erase(pageOrder_.front());
            pageOrder_.pop_front();
        }
    } else {
        pageOrder_.erase(std::find(pageOrder_.begin(), pageOrder_.end(), index));
    }
    pageOrder_.push_back(index);
    return &found->second;
}

// From the page before it, the nearest noted place, or the nearer end.
int PasswordListModel::readPage(qint64 index, Page& rows) const {
    if (byPositions()) return readFoundPage(index, rows);
    const qint64 start = index * kPageRows;
    const int limit = kPageRows;
    const KeyRange r = range();
    const size_t mark = size_t(start / kMarkSpacing);
    const std::vector<int>& f = fields_;
    if (auto before = pages_.find(index - 1); before != pages_.end() && !before->second.empty())
        return table_.readRangeAfter(r, before->second.back().mark(), 0, limit, f, kTextLimit, rows);
    if (mark > 0 && mark < marks_.size())
        return readPageAfter(marks_[mark], start % kMarkSpacing, rows);
    if (counted_ && start > rows_ / 2) {
        const qint64 end = std::min<qint64>(start + limit, rows_);
        return table_.readRange(r, rows_ - end, int(end - start), true, f, kTextLimit, rows);
    }
    return table_.readRange(r, start, limit, false, f, kTextLimit, rows);
}

// The entries skipped are read as keys alone, from the index: only the rows
// of the page itself are looked up in the table.
int PasswordListModel::readPageAfter(const RangeMark& mark, qint64 skip, Page& rows) const {
    const KeyRange r = range();
    RangeMark from = mark;
    if (skip > 0) {
        std::vector<RangeRow> keys;
        const int rc = table_.readRangeAfter(r, mark, skip - 1, 1, {}, 0, keys);
        if (rc != 0 || keys.empty()) {
            rows.clear();
            return rc;
        }
        from = keys.front().mark();
    }
    return table_.readRangeAfter(r, from, 0, kPageRows, fields_, kTextLimit, rows);
}

int PasswordListModel::locate(const QVariant& typed) {
    if (rows_ == 0) return -1;
    // Trailing blanks never count in keys.
    const QVariant value = typed.typeId() == QMetaType::QString
                               ? QVariant(trimmedRight(typed.toString()).toString())
                               : typed;
    if (byPositions()) return locateFound(value);
    countNow();
    const qint64 position = marksComplete_ ? locateByMarks(value)
                                           : table_.countRangeBefore(range(), {{value}, 0});
    if (position < 0) return -1;
    return int(std::min<qint64>(position, rows_ - 1));
}

// The last noted place below the value, then at most kMarkSpacing keys after it.
qint64 PasswordListModel::locateByMarks(const QVariant& value) {
    const auto above = std::partition_point(marks_.begin() + 1, marks_.end(), [&](const RangeMark& m) {
        return compareKeyValue(m.key.front(), value) < 0;
    });
    const size_t mark = size_t(above - marks_.begin()) - 1;
    std::vector<RangeRow> keys;
    const int rc = mark == 0 ? table_.readRange(range(), 0, kMarkSpacing, false, {}, 0, keys)
                             : table_.readRangeAfter(range(), marks_[mark], 0, kMarkSpacing, {}, 0, keys);
    if (rc != 0) return -1;
    const auto first = std::find_if(keys.begin(), keys.end(), [&](const RangeRow& k) {
        return compareKeyValue(k.key.front(), value) >= 0;
    });
    return qint64(mark) * kMarkSpacing + (first - keys.begin());
}

int PasswordListModel::rowOf(const Record& entry, qint64 recordNumber) {
    if (key_ < 0 || recordNumber <= 0) return -1;
    RangeMark at{{}, recordNumber};
    const std::vector<int>& comps = table_.def().keys[size_t(key_)].components;
    for (size_t i = 1; i < comps.size(); ++i) {
        const int field = comps[i];
        if (isNumberType(table_.def().fields[size_t(field)].type))
            at.key.push_back(entry.number(field));
        else
            at.key.push_back(entry.text(field));
    }
    return rowOfPlace(at);
}

std::optional<RangeMark> PasswordListModel::placeOf(int row) const {
    if (byPositions()) // known from the index, no need to read the row
        return row >= 0 && row < rows_ ? std::optional<RangeMark>(index_.place(found_[size_t(row)]))
                                       : std::nullopt;
    const RangeRow* r = rowAt(row);
    return r ? std::optional<RangeMark>(r->mark()) : std::nullopt;
}

// Counts the entries before the place, then checks the row holds that entry.
int PasswordListModel::rowOfPlace(const RangeMark& place) {
    if (key_ < 0 || place.recordNumber <= 0) return -1;
    if (byPositions()) return rowOfFound(place.recordNumber);
    countNow();
    const qint64 position = table_.countRangeBefore(range(), place);
    if (position < 0 || position >= rows_) return -1;
    return place.recordNumber == recordNumber(int(position)) ? int(position) : -1;
}

// The entries found, a run of neighbours at a time from just before the
// first one's own place, each checked against the index: an entry changed or
// gone since the index was read shows as an empty row that no action takes.
int PasswordListModel::readFoundPage(qint64 index, Page& rows) const {
    rows.clear();
    const size_t end = std::min(found_.size(), size_t(index + 1) * kFoundPageRows);
    for (size_t i = size_t(index) * kFoundPageRows; i < end;) {
        int run = 1;
        while (i + size_t(run) < end && found_[i + size_t(run)] == found_[i] + run) ++run;
        RangeMark before = index_.place(found_[i]);
        before.recordNumber -= 1;
        std::vector<RangeRow> read;
        const int rc = table_.readRangeAfter(range(), before, 0, run, fields_, kTextLimit, read);
        if (rc != 0) return rc;
        size_t taken = 0;
        while (taken < read.size() &&
               read[taken].recordNumber == index_.place(found_[i + taken]).recordNumber)
            rows.push_back(std::move(read[taken++]));
        if (taken == 0) {
            rows.emplace_back();
            taken = 1;
        }
        i += taken;
    }
    return 0;
}

int PasswordListModel::locateFound(const QVariant& value) const {
    if (sortColumn_ == Notes) {
        const QByteArray folded = foldForSearch(value.toString()).toUtf8();
        const auto first = std::partition_point(found_.begin(), found_.end(), [&](int p) {
            return index_.fieldOf(p, Notes) < QByteArrayView(folded);
        });
        return int(std::min<qint64>(first - found_.begin(), rows_ - 1));
    }
    const auto first = std::partition_point(found_.begin(), found_.end(), [&](int p) {
        const std::vector<QVariant>& key = index_.place(p).key;
        return !key.empty() && compareKeyValue(key.front(), value) < 0;
    });
    return int(std::min<qint64>(first - found_.begin(), rows_ - 1));
}

int PasswordListModel::rowOfFound(qint64 recordNumber) const {
    for (size_t row = 0; row < found_.size(); ++row)
        if (index_.place(found_[row]).recordNumber == recordNumber) return int(row);
    return -1;
}

} // namespace ql
