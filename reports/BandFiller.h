#pragma once
#include "framework/Pictures.h"
#include "platform/records/Record.h"
#include "reports/ReportLayout.h"
#include "reports/TextMeasure.h"
#include <cstdint>

namespace ql {

// What a band puts on a page: its items with y measured from the band's top
// (x from the paper's left edge), and the height it takes.
struct BandContent {
    ReportPage items;
    int height = 0;
};

// What the fixed bands show besides their labels.
struct PageStamp {
    int page = 1;
    int32_t date = 0; // the day the report was started
    int32_t time = 0; // the time of day it was started
};

// Fills one band with values: a detail band from an entry, a header or footer
// from the page stamp. A label or stamp wider than its control first takes
// free room on its row (moving aside the labels and stamps next to it);
// what still does not fit wraps, like every value. A text that needs more
// lines than its control has room for makes the band taller, every control
// lower in the band moves down by as much and a frame around it grows with
// it, so nothing is cut and nothing overlaps.
class BandFiller {
public:
    BandFiller(const ReportBand& band, const TableDef& table, TextMeasure& measure, bool detail);

    BandContent fill(const Record& record) const;
    BandContent fill(const PageStamp& stamp) const;

private:
    struct Prepared {
        const ReportControl* control;
        int field = -1;
        Picture picture;
        int room = 0;        // height its text may take before the band grows
        int x = 0, width = 0; // its place across the band (a label's, once arranged)
        QStringList lines;   // a label's lines, in the detail band
    };
    using Row = std::vector<size_t>; // controls across one row, by index

    void prepare(const TableDef& table);
    void measureRooms();
    std::vector<Row> rows() const;
    int leastWidth(const ReportControl& c) const;
    void arrange(std::vector<Prepared>& controls, const std::vector<QString>& texts) const;
    QString valueOf(const Prepared& p, const Record* record, const PageStamp* stamp) const;
    QStringList linesOf(const Prepared& p, const QString& text) const;
    BandContent place(const Record* record, const PageStamp* stamp) const;
    int placeText(const Prepared& p, const QStringList& lines, int top, BandContent& out) const;
    int placeCheck(const Prepared& p, const Record* record, int top, BandContent& out) const;

    const ReportBand& band_;
    TextMeasure& measure_;
    bool detail_;
    std::vector<Prepared> controls_;
    std::vector<Row> rows_;
};

} // namespace ql
