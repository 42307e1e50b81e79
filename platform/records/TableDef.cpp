#include "platform/records/TableDef.h"

namespace ql {

namespace {
int lookup(const QHash<QString, int>& table, QAnyStringView name) {
    return table.value(name.toString().toUpper(), -1);
}
} // namespace

bool isTextType(FieldType type) { return type == FieldType::String || type == FieldType::Memo; }

bool isNumberType(FieldType type) {
    return type == FieldType::Long || type == FieldType::Byte || type == FieldType::Date ||
           type == FieldType::Time || type == FieldType::Decimal;
}

int TableDef::fieldIndex(QAnyStringView name) const { return lookup(fieldLookup_, name); }

int TableDef::keyIndex(QAnyStringView name) const { return lookup(keyLookup_, name); }

int TableDef::groupIndex(QAnyStringView name) const {
    for (size_t i = 0; i < groups.size(); ++i)
        if (QAnyStringView::compare(groups[i].name, name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int TableDef::computedRecordBytes() const {
    int bytes = 0;
    for (const FieldDef& f : fields) {
        switch (f.type) {
        case FieldType::Long:
        case FieldType::Date:
        case FieldType::Time: bytes += 4; break;
        case FieldType::Byte: bytes += 1; break;
        case FieldType::Decimal: bytes += 6; break;
        case FieldType::String: bytes += f.width; break;
        case FieldType::Memo:
        case FieldType::Blob: break;
        }
    }
    return bytes;
}

int TableDef::autoIncrementField() const {
    for (const KeyDef& k : keys)
        if (k.autoIncrement && k.components.size() == 1)
            return k.components.front();
    return -1;
}

void TableDef::finishLayout() {
    fieldLookup_.clear();
    keyLookup_.clear();
    for (size_t i = 0; i < fields.size(); ++i)
        fieldLookup_.insert(fields[i].name.toUpper(), static_cast<int>(i));
    for (size_t i = 0; i < keys.size(); ++i)
        keyLookup_.insert(keys[i].name.toUpper(), static_cast<int>(i));
    exactKeyText_.assign(fields.size(), false);
    for (const KeyDef& k : keys)
        for (int c : k.components)
            if (k.caseSensitive && c >= 0 && c < int(fields.size()) && isTextType(fields[c].type))
                exactKeyText_[c] = true;
}

bool TableDef::inExactKey(int field) const {
    return field >= 0 && field < int(exactKeyText_.size()) && exactKeyText_[field];
}

const TableDef& keepForProgram(TableDef def) {
    auto* kept = new TableDef(std::move(def)); // never freed: lives for the program
    kept->permanent_.on = true;
    return *kept;
}

} // namespace ql
