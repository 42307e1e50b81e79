#pragma once
#include <QString>
#include <vector>

namespace ql {

class IniStore;

// The column format of a list: for each column its heading, display picture
// and width in pixels, written "Name,@s128,240;Date,@d17,90". A list keeps
// the format the user last arranged under "SRCF?Browse:1" of its section and
// the designed format it came from under "SRCFOriginal?Browse:1": when the
// design changes, the user's arrangement no longer applies.
struct ListColumn {
    QString heading;
    QString picture;
    int width = 0;
};

class ListColumnFormat {
public:
    static inline const QString kCurrentKey = QStringLiteral("SRCF?Browse:1");
    static inline const QString kOriginalKey = QStringLiteral("SRCFOriginal?Browse:1");

    explicit ListColumnFormat(std::vector<ListColumn> designed);

    // Date pictures of the columns take the date format token ("d4"); a blank
    // token leaves them as designed.
    void applyDateFormat(const QString& token);
    // Compares the design with the stored original (storing the design when
    // they differ) and otherwise takes the stored arrangement's widths when it
    // fits the design's columns. Returns the columns to show.
    const std::vector<ListColumn>& restore(IniStore& store, const QString& section);
    // Stores the columns as shown now (widths in column order).
    void save(IniStore& store, const QString& section, const std::vector<int>& widths);

    const std::vector<ListColumn>& columns() const { return columns_; }
    static QString text(const std::vector<ListColumn>& columns);
    // The columns of a stored text; empty when it is not a column format.
    static std::vector<ListColumn> parse(const QString& text);

private:
    std::vector<ListColumn> designed_;
    std::vector<ListColumn> columns_;
};

} // namespace ql
