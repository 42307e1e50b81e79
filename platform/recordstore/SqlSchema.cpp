#include "platform/recordstore/SqlSchema.h"
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace ql {

QString quoteIdentifier(QStringView name) {
    QString text = name.toString();
    text.replace(u'"', QLatin1String("\"\""));
    return u'"' + text + u'"';
}

namespace {
QString quoted(QStringView name) { return quoteIdentifier(name); }

QString bare(const QString& fieldName) { return fieldName.mid(fieldName.indexOf(u':') + 1); }

QString defaultValue(FieldType type) {
    if (isTextType(type))
        return QStringLiteral("''");
    return type == FieldType::Blob ? QStringLiteral("x''") : QStringLiteral("0");
}
} // namespace

TableLocation locateTable(const QString& storedAs) {
    TableLocation loc;
    const qsizetype mark = storedAs.indexOf(QLatin1String("\\!"));
    QString file = mark >= 0 ? storedAs.left(mark) : storedAs;
    loc.inContainer = mark >= 0;
    loc.table = loc.inContainer ? storedAs.mid(mark + 2) : QStringLiteral("Data");
    file.replace(u'\\', u'/');
    if (QFileInfo(file).suffix().isEmpty())
        file += QLatin1String(kStoreExtension);
    loc.filePath = QDir::current().absoluteFilePath(file);
    return loc;
}

SqlSchema::SqlSchema(const TableDef& def, const QString& table)
    : def_(def), table_(table), quotedTable_(quoted(table)), noCase_(def.fields.size(), false) {
    for (const KeyDef& key : def.keys)
        for (int c : key.components)
            if (!key.caseSensitive && isTextType(def.fields[c].type))
                noCase_[c] = true;
    QStringList cols{QStringLiteral("rowid")};
    for (size_t i = 0; i < def.fields.size(); ++i)
        cols << columnName(static_cast<int>(i));
    columns_ = cols.join(QLatin1String(", "));
    buildQueries();
}

QString SqlSchema::declaredType(const FieldDef& f) {
    switch (f.type) {
    case FieldType::Long: return QStringLiteral("LONGINT");
    case FieldType::Byte: return QStringLiteral("BYTEINT");
    case FieldType::Date: return QStringLiteral("DATEINT");
    case FieldType::Time: return QStringLiteral("TIMEINT");
    case FieldType::Decimal: return QStringLiteral("DECIMALINT(6)");
    case FieldType::String: return QStringLiteral("CHAR(%1)").arg(f.width);
    case FieldType::Memo: return QStringLiteral("MEMOTEXT(%1)").arg(f.width);
    case FieldType::Blob: return QStringLiteral("BLOB");
    }
    return {};
}

QString SqlSchema::columnName(int field) const { return quoted(bare(def_.fields[field].name)); }

QString SqlSchema::createTable() const { return createTable(table_); }

QString SqlSchema::createTable(const QString& name) const {
    QStringList cols;
    for (size_t i = 0; i < def_.fields.size(); ++i) {
        const FieldDef& f = def_.fields[i];
        QString col = columnName(static_cast<int>(i)) + u' ' + declaredType(f) +
                      QLatin1String(" NOT NULL DEFAULT ") + defaultValue(f.type);
        if (noCase_[i])
            col += QLatin1String(" COLLATE QLNOCASE");
        cols << col;
    }
    return QLatin1String("CREATE TABLE ") + quoted(name) + QLatin1String(" (") +
           cols.join(QLatin1String(", ")) + u')';
}

std::vector<SqlSchema::Index> SqlSchema::indexes() const {
    std::vector<Index> out;
    for (const KeyDef& key : def_.keys) {
        QStringList cols;
        for (int c : key.components)
            cols << columnName(c);
        const QString name = table_ + QLatin1String("__") + bare(key.name);
        out.push_back({name, QLatin1String(key.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                                 quoted(name) + QLatin1String(" ON ") + quotedTable_ +
                                 QLatin1String(" (") + cols.join(QLatin1String(", ")) + u')'});
    }
    return out;
}

void SqlSchema::buildQueries() {
    QStringList cols, params, sets;
    for (size_t i = 0; i < def_.fields.size(); ++i) {
        const QString col = columnName(static_cast<int>(i));
        const QString param = u'?' + QString::number(i + 1);
        cols << col;
        params << param;
        sets << col + QLatin1String(" = ") + param;
    }
    const QString select = QLatin1String("SELECT ") + columns_ + QLatin1String(" FROM ") + quotedTable_;
    int slot = 0;
    auto cached = [&slot](const QString& sql) { return CachedQuery{slot++, sql}; };
    insert_ = cached(QLatin1String("INSERT INTO ") + quotedTable_ + QLatin1String(" (") +
              cols.join(QLatin1String(", ")) + QLatin1String(") VALUES (") +
              params.join(QLatin1String(", ")) + u')');
    update_ = cached(QLatin1String("UPDATE ") + quotedTable_ + QLatin1String(" SET ") +
                     sets.join(QLatin1String(", ")) + QLatin1String(" WHERE rowid = ?") +
                     QString::number(def_.fields.size() + 1));
    remove_ = cached(QLatin1String("DELETE FROM ") + quotedTable_ +
                     QLatin1String(" WHERE rowid = ?1"));
    byRowid_ = cached(select + QLatin1String(" WHERE rowid = ?1"));
    stored_[0] = cached(select + QLatin1String(" WHERE rowid > ?1 ORDER BY rowid LIMIT 1"));
    stored_[1] = cached(select + QLatin1String(" WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1"));
    count_ = cached(QLatin1String("SELECT count(*) FROM ") + quotedTable_);
    for (size_t k = 0; k < def_.keys.size(); ++k) {
        const int key = static_cast<int>(k);
        const int n = static_cast<int>(def_.keys[k].components.size());
        const QString from = QLatin1String("SELECT ") + columns_ + fromIndex(key);
        KeyQueries q;
        q.fetch = cached(from + QLatin1String(" WHERE ") + equalities(key, n) +
                         orderBy(key, true) + QLatin1String(" LIMIT 1"));
        for (int dir = 0; dir < 2; ++dir) {
            q.seek[dir] = cached(buildSeek(key, dir == 0));
            q.edge[dir] = cached(from + orderBy(key, dir == 0) + QLatin1String(" LIMIT 1"));
        }
        perKey_.push_back(q);
    }
}

// Reads through a key always go through its own index: the planner would
// otherwise pick another index that matches the leading columns and sort.
QString SqlSchema::fromIndex(int key) const {
    const QString& name = def_.keys[key].name;
    return QLatin1String(" FROM ") + quotedTable_ + QLatin1String(" INDEXED BY ") +
           quoted(table_ + QLatin1String("__") + bare(name));
}

QString SqlSchema::orderBy(int key, bool forward, int from) const {
    QStringList cols;
    const char* dir = forward ? "" : " DESC";
    const std::vector<int>& comps = def_.keys[key].components;
    for (size_t i = from; i < comps.size(); ++i)
        cols << columnName(comps[i]) + QLatin1String(dir);
    cols << QLatin1String("rowid") + QLatin1String(dir);
    return QLatin1String(" ORDER BY ") + cols.join(QLatin1String(", "));
}

QString SqlSchema::equalities(int key, int count) const {
    QStringList terms;
    for (int i = 0; i < count; ++i)
        terms << columnName(def_.keys[key].components[i]) + QLatin1String(" = ?") +
                     QString::number(i + 1);
    return terms.join(QLatin1String(" AND "));
}

// One index seek per level: same values on all components and a later rowid,
// then same on the first n-1 and a later last component, ... down to a later
// first component. The first part that yields a row wins, so each call costs a
// few seeks instead of a scan of the whole index.
QString SqlSchema::buildSeek(int key, bool forward) const {
    const std::vector<int>& comps = def_.keys[key].components;
    const int n = static_cast<int>(comps.size());
    const QString op = forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?");
    const QString head = QLatin1String("SELECT * FROM (SELECT ") + columns_ + fromIndex(key) +
                         QLatin1String(" WHERE ");
    QStringList parts;
    for (int level = n; level >= 0; --level) {
        QString where = equalities(key, level);
        if (!where.isEmpty())
            where += QLatin1String(" AND ");
        where += (level == n ? QStringLiteral("rowid") : columnName(comps[level])) + op +
                 QString::number(level + 1);
        // With every component fixed a unique key has one candidate: no
        // ordering, which would cost a sorter on each call.
        const bool single = level == n && def_.keys[key].unique;
        parts << head + where + (single ? QString() : orderBy(key, forward, level)) +
                     QLatin1String(" LIMIT 1)");
    }
    return parts.join(QLatin1String(" UNION ALL ")) + QLatin1String(" LIMIT 1");
}

QString SqlSchema::maxOf(int field) const {
    return QLatin1String("SELECT max(") + columnName(field) + QLatin1String(") FROM ") +
           quotedTable_;
}

int SqlSchema::keyForUniqueMessage(const QString& message) const {
    for (size_t k = 0; k < def_.keys.size(); ++k) {
        if (!def_.keys[k].unique)
            continue;
        QStringList cols;
        for (int c : def_.keys[k].components)
            cols << table_ + u'.' + bare(def_.fields[c].name);
        if (message.endsWith(cols.join(QLatin1String(", ")), Qt::CaseInsensitive))
            return static_cast<int>(k);
    }
    return -1;
}

} // namespace ql
