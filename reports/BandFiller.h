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
// from the page stamp. A text that needs more lines than its control has room
// for makes the band taller, and every control lower in the band moves down
// by as much, so nothing is cut and nothing overlaps.
class BandFiller {
public:
    BandFiller(const ReportBand& band, const TableDef& table, TextMeasure& measure);

    BandContent fill(const Record& record) const;
    BandContent fill(const PageStamp& stamp) const;

private:
    struct Prepared {
        const ReportControl* control;
        int field = -1;
        Picture picture;
    };
    QString valueOf(const Prepared& p, const Record* record, const PageStamp* stamp) const;
    BandContent place(const Record* record, const PageStamp* stamp) const;
    int placeText(const Prepared& p, const QString& text, int top, bool detail, BandContent& out) const;

    const ReportBand& band_;
    TextMeasure& measure_;
    std::vector<Prepared> controls_;
};

} // namespace ql
