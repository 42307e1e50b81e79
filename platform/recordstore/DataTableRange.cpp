// Reading by position within a range of a key: counts and pages for lists
// that show a window of a long range.
#include "platform/recordstore/DataTable.h"
#include "platform/core/Utf8Text.h"
#include "platform/recordstore/RowIo.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/StoreConnection.h"
#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace ql {

using namespace store_error;

namespace {

// The conditions of a query and the values they bind, in order.
struct Conditions {
    QStringList terms;
    std::vector<QVariant> values;

    void add(const QString& term, const QVariant& value) {
        terms << term;
        values.push_back(value);
    }
    QString where() const {
        return terms.isEmpty() ? QString() : QLatin1String(" WHERE ") + terms.join(QLatin1String(" AND "));
    }
};

Conditions rangeConditions(const TableDef& def, const SqlSchema& schema, const KeyRange& range) {
    Conditions c;
    const std::vector<int>& comps = def.keys[size_t(range.key)].components;
    for (size_t i = 0; i < range.equal.size(); ++i)
        c.add(schema.columnName(comps[i]) + QLatin1String(" = ?"), range.equal[i]);
    const size_t next = range.equal.size();
    if (range.low)
        c.add(schema.columnName(comps[next]) + QLatin1String(" >= ?"), *range.low);
    if (range.high)
        c.add(schema.columnName(comps[next]) + QLatin1String(" <= ?"), *range.high);
    return c;
}

// The base conditions, the first `level` free components equal to the
// mark's, and the next one (or the record number) compared by `op`.
Conditions levelConditions(const TableDef& def, const SqlSchema& schema, const KeyRange& range,
                           const RangeMark& mark, size_t level, const char* op) {
    Conditions c = rangeConditions(def, schema, range);
    const std::vector<int>& comps = def.keys[size_t(range.key)].components;
    const size_t first = range.equal.size();
    for (size_t i = 0; i < level; ++i)
        c.add(schema.columnName(comps[first + i]) + QLatin1String(" = ?"), mark.key[i]);
    if (first + level < comps.size())
        c.add(schema.columnName(comps[first + level]) + QLatin1String(op), mark.key[level]);
    else
        c.add(QLatin1String("rowid") + QLatin1String(op), mark.recordNumber);
    return c;
}

void bindValue(sqlite3_stmt* st, int param, const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        // Keys ignore trailing blanks; those that compare exactly store none.
        const QByteArray text = trimmedRight(value.toString()).toUtf8();
        sqlite3_bind_text(st, param, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_int64(st, param, value.toLongLong());
    }
}

void bindValues(sqlite3_stmt* st, const std::vector<QVariant>& values) {
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(st, int(i) + 1, values[i]);
}

QVariant columnValue(sqlite3_stmt* st, int col, FieldType type) {
    if (isNumberType(type))
        return QVariant(qint64(sqlite3_column_int64(st, col)));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return QVariant(utf8Text(text, sqlite3_column_bytes(st, col)));
}

} // namespace

bool DataTable::validRange(const KeyRange& range) {
    if (!requireOpen() || !validKey(range.key))
        return false;
    const std::vector<int>& comps = def_.keys[size_t(range.key)].components;
    const size_t next = range.equal.size();
    const bool bounded = range.low || range.high;
    if (next > comps.size() || (bounded && (next >= comps.size() ||
                                            !isNumberType(def_.fields[comps[next]].type)))) {
        fail(DriverError, QStringLiteral("No such range of %1").arg(def_.keys[range.key].name));
        return false;
    }
    return true;
}

QString DataTable::countOf(const KeyRange& range, const QString& where) const {
    return QLatin1String("(SELECT count(*)") + schema_->fromIndex(range.key) + where + u')';
}

qint64 DataTable::countRange(const KeyRange& range) {
    if (!validRange(range))
        return -1;
    const Conditions c = rangeConditions(def_, *schema_, range);
    return sumOfCounts({countOf(range, c.where())}, c.values);
}

// A sum of counts, one per level of the key below `at`: the same values on
// the first components and a lower one on the next. Each count is one range
// of the index, so no part walks more than the records it counts.
qint64 DataTable::countRangeBefore(const KeyRange& range, const RangeMark& at) {
    if (!validRange(range))
        return -1;
    const size_t free = def_.keys[size_t(range.key)].components.size() - range.equal.size();
    const size_t given = std::min(at.key.size(), free);
    QStringList parts;
    std::vector<QVariant> values;
    auto addLevel = [&](size_t level) {
        const Conditions c = levelConditions(def_, *schema_, range, at, level, " < ?");
        parts << countOf(range, c.where());
        values.insert(values.end(), c.values.begin(), c.values.end());
    };
    for (size_t level = 0; level < given; ++level)
        addLevel(level);
    if (given == free && at.recordNumber > 0)
        addLevel(free);
    if (parts.isEmpty()) {
        ok();
        return 0;
    }
    return sumOfCounts(parts, values);
}

qint64 DataTable::sumOfCounts(const QStringList& counts, const std::vector<QVariant>& values) {
    sqlite3_stmt* st = conn_->statement(QLatin1String("SELECT ") + counts.join(QLatin1String(" + ")));
    if (!st) {
        failDriver(*conn_);
        return -1;
    }
    bindValues(st, values);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) {
        conn_->fail(rc);
        sqlite3_reset(st);
        failDriver(*conn_);
        return -1;
    }
    const qint64 n = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    ok();
    return n;
}

// rowid, the fields (texts cut), then the key components after the fixed ones.
QString DataTable::rangeColumns(const KeyRange& range, const std::vector<int>& fields, int textLimit) {
    QStringList columns{QStringLiteral("rowid")};
    for (int f : fields) {
        if (f < 0 || f >= int(def_.fields.size())) {
            fail(DriverError, QStringLiteral("No field number %1 in %2").arg(f).arg(def_.label));
            return {};
        }
        const QString col = schema_->columnName(f);
        columns << (isTextType(def_.fields[size_t(f)].type)
                        ? QStringLiteral("substr(%1, 1, %2)").arg(col).arg(textLimit)
                        : col);
    }
    const std::vector<int>& comps = def_.keys[size_t(range.key)].components;
    for (size_t i = range.equal.size(); i < comps.size(); ++i)
        columns << schema_->columnName(comps[i]);
    return columns.join(QLatin1String(", "));
}

int DataTable::readRows(void* statement, const KeyRange& range, const std::vector<int>& fields,
                        std::vector<RangeRow>& rows) {
    auto* st = static_cast<sqlite3_stmt*>(statement);
    const std::vector<int>& comps = def_.keys[size_t(range.key)].components;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        RangeRow row;
        row.recordNumber = sqlite3_column_int64(st, 0);
        int col = 1;
        for (int f : fields)
            row.values.push_back(columnValue(st, col++, def_.fields[size_t(f)].type));
        for (size_t i = range.equal.size(); i < comps.size(); ++i, ++col)
            row.key.push_back(columnValue(st, col, def_.fields[size_t(comps[i])].type));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        conn_->fail(rc);
        sqlite3_reset(st);
        rows.clear();
        return failDriver(*conn_);
    }
    sqlite3_reset(st);
    return ok();
}

int DataTable::readRange(const KeyRange& range, qint64 offset, int limit, bool fromEnd,
                         const std::vector<int>& fields, int textLimit, std::vector<RangeRow>& rows) {
    rows.clear();
    if (!validRange(range))
        return errorCode_;
    const QString columns = rangeColumns(range, fields, textLimit);
    if (columns.isEmpty())
        return errorCode_;
    // Ordering by a component fixed by "=" makes SQLite 3.15 sort the whole
    // range: the order starts after the fixed components.
    const Conditions c = rangeConditions(def_, *schema_, range);
    sqlite3_stmt* st = conn_->statement(
        QLatin1String("SELECT ") + columns + schema_->fromIndex(range.key) + c.where() +
        schema_->orderBy(range.key, !fromEnd, int(range.equal.size())) +
        QLatin1String(" LIMIT ? OFFSET ?"));
    if (!st)
        return failDriver(*conn_);
    bindValues(st, c.values);
    sqlite3_bind_int64(st, int(c.values.size()) + 1, limit);
    sqlite3_bind_int64(st, int(c.values.size()) + 2, offset);
    const int result = readRows(st, range, fields, rows);
    if (fromEnd)
        std::reverse(rows.begin(), rows.end());
    return result;
}

// One seek per level after the mark, deepest first, as the positioned
// next/previous do: each part reads no more than the rows it may return.
int DataTable::readRangeAfter(const KeyRange& range, const RangeMark& after, qint64 offset,
                              int limit, const std::vector<int>& fields, int textLimit,
                              std::vector<RangeRow>& rows) {
    rows.clear();
    if (!validRange(range))
        return errorCode_;
    const std::vector<int>& comps = def_.keys[size_t(range.key)].components;
    const size_t free = comps.size() - range.equal.size();
    if (after.key.size() != free)
        return fail(DriverError, QStringLiteral("A place in %1 needs every key value").arg(def_.label));
    const QString columns = rangeColumns(range, fields, textLimit);
    if (columns.isEmpty())
        return errorCode_;
    QStringList parts;
    std::vector<QVariant> values;
    for (size_t level = free + 1; level-- > 0;) {
        const Conditions c = levelConditions(def_, *schema_, range, after, level, " > ?");
        const bool single = level == free && def_.keys[size_t(range.key)].unique;
        const int from = int(range.equal.size() + level);
        parts << QLatin1String("SELECT * FROM (SELECT ") + columns + schema_->fromIndex(range.key) +
                     c.where() + (single ? QString() : schema_->orderBy(range.key, true, from)) +
                     QLatin1String(" LIMIT ?)");
        values.insert(values.end(), c.values.begin(), c.values.end());
        values.push_back(offset + limit);
    }
    values.push_back(limit);
    values.push_back(offset);
    sqlite3_stmt* st = conn_->statement(parts.join(QLatin1String(" UNION ALL ")) +
                                        QLatin1String(" LIMIT ? OFFSET ?"));
    if (!st)
        return failDriver(*conn_);
    bindValues(st, values);
    return readRows(st, range, fields, rows);
}

} // namespace ql
