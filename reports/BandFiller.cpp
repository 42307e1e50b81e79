#include "reports/BandFiller.h"
#include <algorithm>

namespace ql {

namespace {

// Controls whose tops differ by less than this stand on one row: a taller
// neighbour on the row does not push them down.
constexpr int kRowTolerance = 60;
// Between a text moved aside on its row and the next control.
constexpr int kGap = 40;
// Between a text and the frame below it.
constexpr int kFramePadding = 15;
constexpr int kCheckSize = 110;
constexpr int kCheckLabelGap = 40;

bool isTextType(const Record& record, int field) {
    const FieldType type = record.def().fields[size_t(field)].type;
    return type == FieldType::String || type == FieldType::Memo;
}

QString plainLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// Labels and stamps say the same whatever the entry: they may move on their row.
bool movable(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::PageNumber || kind == ControlKind::RunDate ||
           kind == ControlKind::RunTime;
}

// One control's place across a row, and how wide its text would like to be.
struct Slot {
    int x, width, need;
    bool movable;
    bool yields; // a field, which may give up to half its width to labels beside it
    int least = 0; // the width a field keeps
};

// A text that could not get its width by moving takes the free room beside
// it, then part of a field before it and after it; what it still lacks, it
// wraps into.
void widen(std::vector<Slot>& row, size_t i, int bandWidth) {
    Slot& s = row[i];
    int lacking = s.need - s.width;
    auto takeLeft = [&](int room) {
        room = std::clamp(room, 0, lacking);
        s.x -= room;
        s.width += room;
        lacking -= room;
    };
    auto takeRight = [&](int room) {
        room = std::clamp(room, 0, lacking);
        s.width += room;
        lacking -= room;
    };
    const bool first = i == 0, last = i + 1 == row.size();
    takeLeft(s.x - (first ? 0 : row[i - 1].x + row[i - 1].width + kGap));
    takeRight((last ? bandWidth : row[i + 1].x - kGap) - (s.x + s.width));
    if (lacking > 0 && !first && row[i - 1].yields) {
        Slot& before = row[i - 1];
        const int give = std::max(0, std::min(lacking + kGap, before.width - before.least));
        before.width -= give;
        takeLeft(s.x - (before.x + before.width + kGap));
    }
    if (lacking > 0 && !last && row[i + 1].yields) {
        Slot& after = row[i + 1];
        const int give = std::max(0, std::min(lacking + kGap, after.width - after.least));
        after.x += give;
        after.width -= give;
        takeRight(after.x - kGap - (s.x + s.width));
    }
}

// The first slot that overlaps the one before it (or the band's left edge).
int firstClash(const std::vector<int>& start, const std::vector<int>& extent) {
    int end = 0;
    for (size_t i = 0; i < start.size(); ++i) {
        if (start[i] < end) return int(i);
        end = start[i] + extent[i];
    }
    return -1;
}

// Texts wider than their controls take free room on their row: a movable
// slot that overlaps the one before it moves right, then one that reaches
// past the next slot (or the band's edge) moves left. A slot that cannot get
// its width that way keeps its place (the others are arranged again without
// moving it) and is widened where it stands.
void arrangeRow(std::vector<Slot>& row, int bandWidth) {
    if (std::none_of(row.begin(), row.end(), [](const Slot& s) { return s.movable && s.need > s.width; })) return;
    std::vector<bool> canMove;
    for (const Slot& s : row) canMove.push_back(s.movable);
    const size_t n = row.size();
    std::vector<int> start(n), extent(n);
    for (;;) {
        for (size_t i = 0; i < n; ++i) {
            extent[i] = canMove[i] ? std::max(row[i].width, row[i].need) : row[i].width;
            start[i] = row[i].x;
        }
        int end = 0;
        for (size_t i = 0; i < n; ++i) {
            if (canMove[i] && start[i] < end) start[i] = end + kGap;
            end = start[i] + extent[i];
        }
        int limit = bandWidth;
        for (size_t i = n; i-- > 0;) {
            if (canMove[i] && start[i] + extent[i] > limit) start[i] = limit - extent[i];
            limit = start[i] - kGap;
        }
        const int clash = firstClash(start, extent);
        if (clash < 0) break;
        const size_t at = size_t(clash);
        if (canMove[at]) canMove[at] = false;
        else if (at > 0 && canMove[at - 1]) canMove[at - 1] = false;
        else break; // two fixed controls the layout itself lets overlap
    }
    for (size_t i = 0; i < n; ++i) {
        row[i].x = start[i];
        row[i].width = extent[i];
    }
    for (size_t i = 0; i < n; ++i)
        if (row[i].movable && !canMove[i] && row[i].need > row[i].width) widen(row, i, bandWidth);
}

} // namespace

BandFiller::BandFiller(const ReportBand& band, const TableDef& table, TextMeasure& measure, bool detail)
    : band_(band), measure_(measure), detail_(detail) {
    prepare(table);
    // The detail band's labels are the same for every entry: they are
    // arranged and broken into lines once.
    if (detail_) {
        std::vector<QString> texts;
        for (const Prepared& p : controls_)
            texts.push_back(p.control->kind == ControlKind::Label ? p.control->text : QString());
        arrange(controls_, texts);
    }
    for (Prepared& p : controls_)
        if ((detail_ && p.control->kind == ControlKind::Label) || p.control->kind == ControlKind::Check)
            p.lines = linesOf(p, p.control->text);
}

void BandFiller::prepare(const TableDef& table) {
    for (const ReportControl& c : band_.controls) {
        Prepared p{&c, c.field.isEmpty() ? -1 : table.fieldIndex(c.field),
                   c.picture.isEmpty() ? Picture() : Picture(c.picture), c.height, c.x, c.width, {}};
        controls_.push_back(std::move(p));
    }
    std::stable_sort(controls_.begin(), controls_.end(),
                     [](const Prepared& a, const Prepared& b) { return a.control->y < b.control->y; });
    rows_ = rows();
    if (!detail_) measureRooms();
}

// In a fixed band a text may take the height down to the next row, the frame
// around it or the band's bottom before the band grows; in the detail band,
// its control's height.
void BandFiller::measureRooms() {
    for (Prepared& p : controls_) {
        const ReportControl& c = *p.control;
        int bottom = band_.height;
        for (const Prepared& other : controls_) {
            const ReportControl& o = *other.control;
            if (o.y > c.y + kRowTolerance) bottom = std::min(bottom, o.y);
            if (o.kind == ControlKind::Box && o.y <= c.y && c.y < o.y + o.height)
                bottom = std::min(bottom, o.y + o.height - kFramePadding);
        }
        p.room = std::max(c.height, bottom - c.y);
    }
}

// The controls in rows (tops within the row tolerance), each row left to
// right; frames stand on no row.
std::vector<BandFiller::Row> BandFiller::rows() const {
    std::vector<Row> found;
    int rowTop = 0;
    for (size_t i = 0; i < controls_.size(); ++i) {
        const ReportControl& c = *controls_[i].control;
        if (c.kind == ControlKind::Box) continue;
        if (found.empty() || c.y > rowTop + kRowTolerance) {
            found.emplace_back();
            rowTop = c.y;
        }
        found.back().push_back(i);
    }
    for (Row& row : found)
        std::stable_sort(row.begin(), row.end(),
                         [this](size_t a, size_t b) { return controls_[a].control->x < controls_[b].control->x; });
    return found;
}

// A field keeps half its width, and room for two wide letters.
int BandFiller::leastWidth(const ReportControl& c) const {
    return std::max(c.width / 2, measure_.textWidth(QStringLiteral("MM"), c.font));
}

// Where each control stands across its row, given the texts shown.
void BandFiller::arrange(std::vector<Prepared>& controls, const std::vector<QString>& texts) const {
    for (const Row& row : rows_) {
        std::vector<Slot> across;
        for (size_t i : row) {
            const ReportControl& c = *controls[i].control;
            const bool moves = movable(c.kind) && !texts[i].contains(u'\n');
            across.push_back({c.x, c.width, moves ? measure_.textWidth(texts[i], c.font) : 0, moves,
                              c.kind == ControlKind::Field, leastWidth(c)});
        }
        arrangeRow(across, band_.width);
        for (size_t k = 0; k < row.size(); ++k) {
            controls[row[k]].x = across[k].x;
            controls[row[k]].width = across[k].width;
        }
    }
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

// The lines of a text in its place: fields break as their control says,
// labels and stamps between words; a check box's label beside the box.
QStringList BandFiller::linesOf(const Prepared& p, const QString& text) const {
    const ReportControl& c = *p.control;
    const bool field = c.kind == ControlKind::Field || c.kind == ControlKind::Notes;
    int width = p.width;
    if (c.kind == ControlKind::Check) width -= std::min(c.height, kCheckSize) + kCheckLabelGap;
    width = std::max(1, width);
    // The blanks a number picture pads with give way first.
    const PictureKind kind = p.picture.kind();
    if ((kind == PictureKind::Number || kind == PictureKind::Pattern) && text.startsWith(u' ') &&
        measure_.textWidth(text, c.font) > width)
        return measure_.breakLines(text.trimmed(), c.font, width, Wrap::Words);
    return measure_.breakLines(text, c.font, width, field ? c.wrap : Wrap::Words);
}

// Places the lines of one text control; returns how much taller than its
// room they are.
int BandFiller::placeText(const Prepared& p, const QStringList& lines, int top, BandContent& out) const {
    const ReportControl& c = *p.control;
    const int lineHeight = measure_.lineHeight(c.font);
    int y = top;
    for (const QString& line : lines) {
        if (!line.isEmpty()) out.items.texts.push_back({band_.x + p.x, y, p.width, lineHeight, line, c.font, c.align});
        y += lineHeight;
    }
    return std::max(0, int(lines.size()) * lineHeight - p.room);
}

// A check box, its label beside it, over as many lines as the label needs.
int BandFiller::placeCheck(const Prepared& p, const Record* record, int top, BandContent& out) const {
    const ReportControl& c = *p.control;
    const bool checked = record && p.field >= 0 && record->number(p.field) != 0;
    const int size = std::min(c.height, kCheckSize);
    const int labelX = band_.x + p.x + size + kCheckLabelGap;
    const int lineHeight = measure_.lineHeight(c.font);
    const int labelWidth = p.width - size - kCheckLabelGap;
    out.items.checks.push_back({band_.x + p.x, top + (c.height - size) / 2, size, checked,
                                {labelX, top, labelWidth, lineHeight, p.lines.value(0), c.font, TextAlign::Left}});
    for (qsizetype i = 1; i < p.lines.size(); ++i)
        out.items.texts.push_back({labelX, top + int(i) * lineHeight, labelWidth, lineHeight, p.lines[i], c.font,
                                   TextAlign::Left});
    return std::max(0, int(p.lines.size()) * lineHeight - p.room);
}

BandContent BandFiller::place(const Record* record, const PageStamp* stamp) const {
    std::vector<QString> texts;
    texts.reserve(controls_.size());
    for (const Prepared& p : controls_)
        texts.push_back(detail_ && p.control->kind == ControlKind::Label ? QString() : valueOf(p, record, stamp));
    std::vector<Prepared> arranged;
    if (!detail_) {
        arranged = controls_;
        arrange(arranged, texts);
    }
    const std::vector<Prepared>& controls = detail_ ? controls_ : arranged;
    BandContent out;
    struct Placed { int y; int reach; }; // original top; moved-down amount plus growth
    std::vector<Placed> placed;
    std::vector<std::pair<size_t, size_t>> frames; // control, box on the page
    int bandGrowth = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
        const Prepared& p = controls[i];
        const ReportControl& c = *p.control;
        int shift = 0;
        for (const Placed& above : placed)
            if (c.y > above.y + kRowTolerance) shift = std::max(shift, above.reach);
        const int top = c.y + shift;
        int growth = 0;
        if (c.kind == ControlKind::Box) {
            frames.emplace_back(i, out.items.boxes.size());
            out.items.boxes.push_back({band_.x + c.x, top, c.width, c.height});
        } else if (c.kind == ControlKind::Check) {
            growth = placeCheck(p, record, top, out);
        } else {
            const QStringList lines = detail_ && c.kind == ControlKind::Label ? p.lines : linesOf(p, texts[i]);
            growth = placeText(p, lines, top, out);
        }
        placed.push_back({c.y, shift + growth});
        bandGrowth = std::max(bandGrowth, shift + growth);
    }
    // A frame grows by as much as the controls inside it were moved or grew beyond it.
    for (const auto& [index, box] : frames) {
        const ReportControl& frame = *controls[index].control;
        const int frameShift = out.items.boxes[box].y - frame.y;
        int inner = frameShift;
        for (size_t i = 0; i < controls.size(); ++i) {
            const int y = controls[i].control->y;
            if (i != index && y >= frame.y && y < frame.y + frame.height) inner = std::max(inner, placed[i].reach);
        }
        out.items.boxes[box].height += inner - frameShift;
    }
    out.height = band_.height + bandGrowth;
    return out;
}

} // namespace ql
