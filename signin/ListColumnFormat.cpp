#include "signin/ListColumnFormat.h"
#include "framework/IniStore.h"
#include <QStringList>

namespace ql {

namespace {
constexpr int kMaxWidth = 4000;
}

ListColumnFormat::ListColumnFormat(std::vector<ListColumn> designed)
    : designed_(std::move(designed)), columns_(designed_) {}

void ListColumnFormat::applyDateFormat(const QString& token) {
    const QString trimmed = token.trimmed();
    if (trimmed.isEmpty()) return;
    for (ListColumn& column : designed_)
        if (column.picture.startsWith(QLatin1String("@d"), Qt::CaseInsensitive))
            column.picture = u'@' + trimmed;
    columns_ = designed_;
}

QString ListColumnFormat::text(const std::vector<ListColumn>& columns) {
    QStringList parts;
    for (const ListColumn& c : columns)
        parts << c.heading + u',' + c.picture + u',' + QString::number(c.width);
    return parts.join(u';');
}

std::vector<ListColumn> ListColumnFormat::parse(const QString& text) {
    std::vector<ListColumn> columns;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList fields = part.split(u',');
        bool number = false;
        const int width = fields.value(2).toInt(&number);
        if (fields.size() != 3 || !number || width < 0 || width > kMaxWidth) return {};
        columns.push_back({fields[0], fields[1], width});
    }
    return columns;
}

const std::vector<ListColumn>& ListColumnFormat::restore(IniStore& store, const QString& section) {
    columns_ = designed_;
    const QString design = text(designed_);
    if (store.readSetting(section, kOriginalKey) != design) {
        store.writeSetting(section, kOriginalKey, design);
        return columns_;
    }
    const std::vector<ListColumn> arranged = parse(store.readSetting(section, kCurrentKey));
    if (arranged.size() != designed_.size()) return columns_;
    for (size_t i = 0; i < arranged.size(); ++i)
        if (arranged[i].heading != designed_[i].heading) return columns_;
    for (size_t i = 0; i < arranged.size(); ++i) columns_[i].width = arranged[i].width;
    return columns_;
}

void ListColumnFormat::save(IniStore& store, const QString& section, const std::vector<int>& widths) {
    for (size_t i = 0; i < columns_.size() && i < widths.size(); ++i)
        columns_[i].width = std::clamp(widths[i], 0, kMaxWidth);
    store.writeSetting(section, kCurrentKey, text(columns_));
}

} // namespace ql
