#pragma once
#include "reports/BandFiller.h"
#include <functional>
#include <optional>

namespace ql {

// Receives each page once it is complete.
using PageSink = std::function<void(ReportPage&& page)>;

// Lays detail bands down the body of pages: every page gets the header and
// the footer (a taller header or footer leaves the body less room), a band that does not fit in what is left of a page starts the
// next one, and a band taller than a whole body is split between lines over
// as many pages as it needs.
class PageBuilder {
public:
    PageBuilder(const ReportLayout& layout, const TableDef& table, TextMeasure& measure, PageStamp stamp,
                PageSink sink);

    void addEntry(const Record& record);
    void addBand(BandContent band);
    // Hands over the page being filled, if any.
    void finish();

    // Pages begun so far, the one being filled included.
    int pagesBegun() const { return pagesBegun_; }
    bool pageOpen() const { return page_.has_value(); }

private:
    void beginPage();
    void endPage();
    void put(const ReportPage& items, int offset, int from, int to);
    static int cutBefore(const ReportPage& items, int limit);

    const ReportLayout& layout_;
    BandFiller header_, detail_, footer_;
    PageStamp stamp_;
    PageSink sink_;
    std::optional<ReportPage> page_;
    int bodyTop_ = 0, bodyEnd_ = 0; // where detail bands go on the page being filled
    int cursor_ = 0;  // y of the next band on the page
    int pagesBegun_ = 0;
    bool pageHasBands_ = false;
};

} // namespace ql
