#include "framework/HeaderArrangement.h"
#include "framework/ColumnLayout.h"
#include "framework/IniStore.h"
#include <QHeaderView>

namespace ql {

std::vector<int> shownColumns(const QHeaderView& header) {
    std::vector<int> columns;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int column = header.logicalIndex(visual);
        if (!header.isSectionHidden(column)) columns.push_back(column);
    }
    return columns;
}

HeaderArrangement::HeaderArrangement(QHeaderView& header, IniStore& positions, QString section,
                                     QString widthsKey, QString orderKey)
    : header_(header), positions_(positions), section_(std::move(section)),
      widthsKey_(std::move(widthsKey)), orderKey_(std::move(orderKey)) {
    header_.setSectionsMovable(true);
}

void HeaderArrangement::reset() {
    const int count = header_.count();
    for (int column = 0; column < count; ++column) {
        header_.moveSection(header_.visualIndex(column), column);
        if (size_t(column) < design_.size()) header_.resizeSection(column, design_[size_t(column)]);
    }
}

void HeaderArrangement::restore() {
    reset();
    const int count = header_.count();
    if (const auto widths = parseColumnWidths(positions_.readSetting(section_, widthsKey_), count))
        for (int column = 0; column < count; ++column) header_.resizeSection(column, (*widths)[size_t(column)]);
    if (const auto order = parseColumnOrder(positions_.readSetting(section_, orderKey_), count))
        for (int visual = 0; visual < count; ++visual)
            header_.moveSection(header_.visualIndex((*order)[size_t(visual)]), visual);
}

void HeaderArrangement::save() const {
    std::vector<int> widths, order;
    for (int i = 0; i < header_.count(); ++i) {
        widths.push_back(header_.sectionSize(i));
        order.push_back(header_.logicalIndex(i));
    }
    positions_.writeSetting(section_, widthsKey_, joinColumnNumbers(widths));
    positions_.writeSetting(section_, orderKey_, joinColumnNumbers(order));
}

} // namespace ql
