#include "reports/BandFiller.h"
#include <algorithm>

namespace ql {

namespace {

// Controls whose tops differ by less than this stand on one row: a taller
// neighbour on the row does not push them down.
constexpr int kRowTolerance = 60;

bool isTextType(const Record& record, int field) {
    const FieldType type = record.def().fields[size_t(field)].type;
    return type == FieldType::String || type == FieldType::Memo;
}

QString plainLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

BandFiller::BandFiller(const ReportBand& band, const TableDef& table, TextMeasure& measure)
    : band_(band), measure_(measure) {
    for (const ReportControl& c : band.controls) {
        Prepared p{&c, c.field.isEmpty() ? -1 : table.fieldIndex(c.field),
                   c.picture.isEmpty() ? Picture() : Picture(c.picture)};
        controls_.push_back(std::move(p));
    }
    std::stable_sort(controls_.begin(), controls_.end(),
                     [](const Prepared& a, const Prepared& b) { return a.control->y < b.control->y; });
}

BandContent BandFiller::fill(const Record& record) const { return place(&record, nullptr); }

BandContent BandFiller::fill(const PageStamp& stamp) const { return place(nullptr, &stamp); }

QString BandFiller::valueOf(const Prepared& p, const Record* record, const PageStamp* stamp) const {
    const ReportControl& c = *p.control;
    switch (c.kind) {
    case ControlKind::Label: return c.text;
    case ControlKind::PageNumber: return stamp ? p.picture.format(stamp->page) : QString();
    case ControlKind::RunDate: return stamp ? p.picture.format(stamp->date) : QString();
    case ControlKind::RunTime: return stamp ? p.picture.format(stamp->time) : QString();
    case ControlKind::Notes:
        return record && p.field >= 0 ? plainLineBreaks(record->text(p.field)) : QString();
    case ControlKind::Field:
        if (!record || p.field < 0) return {};
        return isTextType(*record, p.field) ? p.picture.formatText(record->text(p.field))
                                            : p.picture.format(record->number(p.field));
    case ControlKind::Check:
    case ControlKind::Box: break;
    }
    return {};
}

// Places the lines of one text control; returns how much taller than the
// control they are. Fields and notes wrap; labels keep to one line. The texts
// of the fixed bands stay as the layout has them.
int BandFiller::placeText(const Prepared& p, const QString& text, int top, bool detail, BandContent& out) const {
    const ReportControl& c = *p.control;
    const bool wraps = detail && (c.kind == ControlKind::Field || c.kind == ControlKind::Notes);
    const QStringList lines = wraps ? measure_.breakLines(text, c.font, c.width, c.wrap) : QStringList{text};
    const int lineHeight = detail ? measure_.lineHeight(c.font) : c.height;
    int y = top;
    for (const QString& line : lines) {
        if (!line.isEmpty()) out.items.texts.push_back({band_.x + c.x, y, c.width, lineHeight, line, c.font, c.align});
        y += lineHeight;
    }
    return detail ? std::max(0, int(lines.size()) * lineHeight - c.height) : 0;
}

BandContent BandFiller::place(const Record* record, const PageStamp* stamp) const {
    BandContent out;
    struct Placed { int y; int reach; }; // original top; moved-down amount plus growth
    std::vector<Placed> placed;
    int bandGrowth = 0;
    for (const Prepared& p : controls_) {
        const ReportControl& c = *p.control;
        int shift = 0;
        for (const Placed& above : placed)
            if (c.y > above.y + kRowTolerance) shift = std::max(shift, above.reach);
        const int top = c.y + shift;
        int growth = 0;
        if (c.kind == ControlKind::Box) {
            out.items.boxes.push_back({band_.x + c.x, top, c.width, c.height});
        } else if (c.kind == ControlKind::Check) {
            const bool checked = record && p.field >= 0 && record->number(p.field) != 0;
            const int size = std::min(c.height, 110);
            out.items.checks.push_back({band_.x + c.x, top + (c.height - size) / 2, size, checked,
                                        {band_.x + c.x + size + 40, top, c.width - size - 40, c.height, c.text,
                                         c.font, TextAlign::Left}});
        } else {
            growth = placeText(p, valueOf(p, record, stamp), top, record != nullptr, out);
        }
        placed.push_back({c.y, shift + growth});
        bandGrowth = std::max(bandGrowth, shift + growth);
    }
    out.height = band_.height + bandGrowth;
    return out;
}

} // namespace ql
