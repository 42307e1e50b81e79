#include "monitorapp/MonitorListModel.h"
#include "entries/PasswordListModel.h"

namespace ql {

namespace {
const char* const kHeaders[] = {"", "Service", "Name", "URL", "Notes", "Expiry Date"};
} // namespace

MonitorListModel::MonitorListModel(PasswordListModel& entries, QObject* parent)
    : QAbstractTableModel(parent), entries_(entries) {
    follow();
}

// Rows come and go with the entries' model; columns are ours.
void MonitorListModel::follow() {
    using M = QAbstractItemModel;
    connect(&entries_, &M::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&entries_, &M::modelReset, this, [this] { endResetModel(); });
    connect(&entries_, &M::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertRows({}, first, last); });
    connect(&entries_, &M::rowsInserted, this, [this] { endInsertRows(); });
    connect(&entries_, &M::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { beginRemoveRows({}, first, last); });
    connect(&entries_, &M::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(&entries_, &M::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        emit dataChanged(index(from.row(), 0), index(to.row(), ColumnCount - 1));
    });
}

void MonitorListModel::show(const QString& user, int32_t today) {
    const bool sameDay = today == today_;
    today_ = today;
    if (user == entries_.user() && entries_.tab() == ListTab::Service && sameDay)
        entries_.refresh(today);
    else
        entries_.show(user, ListTab::Service, today);
}

int MonitorListModel::search(const QString& typed, int row) { return entries_.searchKeeping(typed, row); }

const QString& MonitorListModel::user() const { return entries_.user(); }

MonitorListModel::EntryMark MonitorListModel::mark(int row) const {
    const QModelIndex at = entries_.index(row, PasswordListModel::ExpiryDate);
    if (entries_.data(at, PasswordListModel::WatchedRole).toBool()) return EntryMark::Watched;
    const qint64 expiry = entries_.data(at, PasswordListModel::StoredValueRole).toLongLong();
    return expiry > 0 && expiry < today_ ? EntryMark::Expired : EntryMark::Blank;
}

qint64 MonitorListModel::recordNumber(int row) const { return entries_.recordNumber(row); }

int MonitorListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : entries_.rowCount();
}

int MonitorListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int MonitorListModel::sourceColumn(int column) const {
    static const int kSource[] = {-1,
                                  PasswordListModel::Service,
                                  PasswordListModel::Name,
                                  PasswordListModel::Url,
                                  PasswordListModel::Notes,
                                  PasswordListModel::ExpiryDate};
    return column >= 0 && column < ColumnCount ? kSource[column] : -1;
}

QVariant MonitorListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (index.column() == Mark) {
        if (role == MarkRole) return int(mark(index.row()));
        if (role == Qt::DecorationRole && markPicture) return markPicture(mark(index.row()));
        return {};
    }
    if (role != Qt::DisplayRole) return {};
    return entries_.data(entries_.index(index.row(), sourceColumn(index.column())));
}

QVariant MonitorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kHeaders[section]);
}

} // namespace ql
