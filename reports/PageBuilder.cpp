#include "reports/PageBuilder.h"
#include <algorithm>

namespace ql {

namespace {

void shiftInto(ReportPage& page, const BandContent& band, int dy) {
    for (PlacedText t : band.items.texts) { t.y += dy; page.texts.push_back(std::move(t)); }
    for (PlacedBox b : band.items.boxes) { b.y += dy; page.boxes.push_back(b); }
    for (PlacedCheck c : band.items.checks) { c.y += dy; c.label.y += dy; page.checks.push_back(std::move(c)); }
}

// What of a band lies below `cut`, moved up to start at the band's top.
BandContent remainderFrom(const BandContent& band, int cut) {
    BandContent rest;
    rest.height = band.height - cut;
    for (PlacedText t : band.items.texts)
        if (t.y >= cut) { t.y -= cut; rest.items.texts.push_back(std::move(t)); }
    for (PlacedBox b : band.items.boxes)
        if (b.y >= cut) { b.y -= cut; rest.items.boxes.push_back(b); }
    for (PlacedCheck c : band.items.checks)
        if (c.y >= cut) { c.y -= cut; c.label.y -= cut; rest.items.checks.push_back(std::move(c)); }
    return rest;
}

} // namespace

PageBuilder::PageBuilder(const ReportLayout& layout, const TableDef& table, TextMeasure& measure,
                         PageStamp stamp, PageSink sink)
    : layout_(layout), header_(layout.header, table, measure, false), detail_(layout.detail, table, measure, true),
      footer_(layout.footer, table, measure, false), stamp_(stamp), sink_(std::move(sink)) {}

void PageBuilder::addEntry(const Record& record) { addBand(detail_.fill(record)); }

void PageBuilder::beginPage() {
    page_.emplace();
    page_->width = layout_.pageWidth;
    page_->height = layout_.pageHeight;
    stamp_.page = ++pagesBegun_;
    // A header that grew pushes the body down; a footer that grew rises into it.
    const BandContent header = header_.fill(stamp_), footer = footer_.fill(stamp_);
    const int footerGrowth = std::max(0, footer.height - layout_.footer.height);
    shiftInto(*page_, header, layout_.header.y);
    shiftInto(*page_, footer, layout_.footer.y - footerGrowth);
    bodyTop_ = layout_.bodyTop + std::max(0, header.height - layout_.header.height);
    bodyEnd_ = std::max(bodyTop_ + 1, layout_.bodyTop + layout_.bodyHeight - footerGrowth);
    cursor_ = bodyTop_;
    pageHasBands_ = false;
}

void PageBuilder::endPage() {
    if (!page_) return;
    ReportPage done = std::move(*page_);
    page_.reset();
    sink_(std::move(done));
}

void PageBuilder::finish() { endPage(); }

void PageBuilder::addBand(BandContent band) {
    if (!page_) beginPage();
    if (band.height > bodyEnd_ - cursor_ && pageHasBands_ && band.height <= bodyEnd_ - bodyTop_) {
        endPage();
        beginPage();
    }
    // Whatever does not fit goes on following pages, cut between lines.
    while (band.height > bodyEnd_ - cursor_) {
        int cut = cutBefore(band.items, bodyEnd_ - cursor_);
        if (cut <= 0 && pageHasBands_) {
            endPage();
            beginPage();
            continue;
        }
        if (cut <= 0) cut = bodyEnd_ - cursor_; // a single line taller than the body: it goes here whole
        put(band.items, cursor_, 0, cut);
        band = remainderFrom(band, cut);
        endPage();
        beginPage();
    }
    put(band.items, cursor_, 0, band.height);
    cursor_ += band.height;
    pageHasBands_ = true;
}

// Puts the items that start within [from, to) of the band at `offset`.
void PageBuilder::put(const ReportPage& items, int offset, int from, int to) {
    auto inside = [&](int y) { return y >= from && y < to; };
    for (PlacedText t : items.texts)
        if (inside(t.y)) { t.y += offset; page_->texts.push_back(std::move(t)); }
    for (PlacedBox b : items.boxes)
        if (inside(b.y)) { b.y += offset; page_->boxes.push_back(b); }
    for (PlacedCheck c : items.checks)
        if (inside(c.y)) { c.y += offset; c.label.y += offset; page_->checks.push_back(std::move(c)); }
}

// The lowest place at or above `limit` that no item straddles; 0 when the
// first item already reaches past the limit.
int PageBuilder::cutBefore(const ReportPage& items, int limit) {
    int cut = limit;
    bool moved = true;
    while (moved && cut > 0) {
        moved = false;
        auto check = [&](int top, int bottom) {
            if (top < cut && bottom > cut) { cut = top; moved = true; }
        };
        for (const PlacedText& t : items.texts) check(t.y, t.y + t.height);
        for (const PlacedBox& b : items.boxes) check(b.y, b.y + b.height);
        for (const PlacedCheck& c : items.checks) check(c.y, std::max(c.y + c.size, c.label.y + c.label.height));
    }
    return cut;
}

} // namespace ql
