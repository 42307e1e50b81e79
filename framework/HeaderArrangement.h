#pragma once
#include <QString>
#include <vector>

class QHeaderView;

namespace ql {

class IniStore;

// The columns a header shows (model indices), left to right.
std::vector<int> shownColumns(const QHeaderView& header);

// A list's columns that the user moves and resizes by dragging their
// headings, kept with the window's place: restored when the window opens,
// saved when it closes, and put back to the design on request.
class HeaderArrangement {
public:
    // `widthsKey` and `orderKey` name the settings under the window's section.
    HeaderArrangement(QHeaderView& header, IniStore& positions, QString section, QString widthsKey,
                      QString orderKey);

    // The design: the widths in the model's column order, columns in that order.
    void setDesign(std::vector<int> widths) { design_ = std::move(widths); }
    // The design first, then what was stored where it is sound.
    void restore();
    void save() const;
    void reset();

private:
    QHeaderView& header_;
    IniStore& positions_;
    QString section_, widthsKey_, orderKey_;
    std::vector<int> design_;
};

} // namespace ql
