#pragma once
#include <QAbstractTableModel>
#include <functional>

namespace ql {

class PasswordListModel;

// The monitor window's list: one user's entries in service order, read by the
// password list's own model a page at a time, shown as a mark column and then
// "Service", "Name", "URL", "Notes" and the expiry date.
class MonitorListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Mark, Service, Name, Url, Notes, ExpiryDate, ColumnCount };
    // The mark of an entry: watched first, then expired (before today).
    enum class EntryMark { Blank = 1, Watched = 2, Expired = 3 };
    static constexpr int MarkRole = Qt::UserRole + 10;

    explicit MonitorListModel(PasswordListModel& entries, QObject* parent = nullptr);

    // The picture shown for a mark; without one the column shows nothing.
    std::function<QVariant(EntryMark)> markPicture;

    // Shows `user`'s entries; a user already shown is read again in place,
    // so that the highlighted row stays.
    void show(const QString& user, int32_t today);
    // Keeps the entries holding every typed word; returns the row to
    // highlight (the entry of `row` where it is now, else the first; -1 for none).
    int search(const QString& typed, int row);
    EntryMark mark(int row) const;
    qint64 recordNumber(int row) const;
    const QString& user() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void follow();
    int sourceColumn(int column) const;

    PasswordListModel& entries_;
    int32_t today_ = 0;
};

} // namespace ql
