#include "health/HealthReport.h"
#include "reports/ReportLayouts.h"

namespace ql {

namespace {

constexpr int kColumns = 6;
const char* const kFields[kColumns] = {"H_:SERVICE", "H_:NAME", "H_:STRENGTH",
                                       "H_:REUSED", "H_:EXPIRY", "H_:LASTCHANGED"};
const char* const kHeadings[kColumns] = {"Service", "Name", "Strength", "Reused", "Expiry", "Last Changed"};
// Across a band 6,000 wide (thousandths of an inch).
constexpr int kColumnX[kColumns] = {50, 1150, 2250, 3100, 3950, 4980};
constexpr int kColumnWidth[kColumns] = {1050, 1050, 800, 800, 980, 1000};

TableDef makeHealthTable() {
    TableDef def;
    def.label = QStringLiteral("PasswordHealth");
    def.prefix = QStringLiteral("H_");
    for (const char* name : kFields) def.fields.push_back({QLatin1String(name), FieldType::String, 255});
    def.finishLayout();
    return def;
}

ReportControl control(ControlKind kind, int x, int y, int width, const TextFont& font) {
    ReportControl c;
    c.kind = kind;
    c.x = x, c.y = y, c.width = width, c.height = kDetailLine;
    c.font = font;
    return c;
}

ReportBand header(const QString& title) {
    ReportControl heading = control(ControlKind::Label, 0, 20, 6000, {QStringLiteral("Arial"), 14, 700});
    heading.text = title;
    heading.height = 240;
    heading.align = TextAlign::Center;
    ReportControl frame = control(ControlKind::Box, 0, 260, 6000, {});
    frame.height = 260;
    ReportBand band{1000, 1000, 6000, 521, {heading, frame}};
    for (int i = 0; i < kColumns; ++i) {
        ReportControl label =
            control(ControlKind::Label, kColumnX[i], 313, kColumnWidth[i], {QStringLiteral("Arial"), 9, 700});
        label.text = QLatin1String(kHeadings[i]);
        band.controls.push_back(label);
    }
    return band;
}

ReportBand detail() {
    ReportBand band{1000, 0, 6000, 52 + kDetailLine + 53, {}};
    for (int i = 0; i < kColumns; ++i) {
        ReportControl field =
            control(ControlKind::Field, kColumnX[i], 52, kColumnWidth[i], {QStringLiteral("Arial"), 8, 400});
        field.field = QLatin1String(kFields[i]);
        field.picture = QStringLiteral("@s255");
        band.controls.push_back(field);
    }
    return band;
}

ReportBand footer() {
    const TextFont font{QStringLiteral("Arial"), 8, 400};
    ReportControl date = control(ControlKind::RunDate, 0, 20, 1500, font);
    date.picture = QStringLiteral("@d17");
    ReportControl page = control(ControlKind::PageNumber, 4500, 20, 1500, font);
    page.picture = QStringLiteral("pPage <<<#p");
    page.align = TextAlign::Right;
    return {1000, 9000, 6000, 219, {date, page}};
}

} // namespace

const TableDef& healthReportTable() {
    static const TableDef& table = keepForProgram(makeHealthTable());
    return table;
}

ReportLayout healthReportLayout() {
    ReportLayout l;
    l.procedure = QStringLiteral("PasswordHealthReport");
    l.title = QStringLiteral("Password Health");
    l.header = header(l.title);
    l.detail = detail();
    l.bodyTop = 1563;
    l.bodyHeight = 7438;
    l.footer = footer();
    return l;
}

std::vector<ReportPage> healthReportPages(const std::vector<HealthRow>& rows, const ReportLayout& layout,
                                          TextMeasure& measure, const PageStamp& stamp,
                                          const QString& datePicture) {
    std::vector<ReportPage> pages;
    const TableDef& table = healthReportTable();
    PageBuilder builder(layout, table, measure, stamp, [&pages](ReportPage&& page) { pages.push_back(std::move(page)); });
    Record record(table);
    for (const HealthRow& row : rows) {
        const QString texts[kColumns] = {row.service, row.name, healthStrengthText(row), healthReusedText(row),
                                         healthExpiryText(row, datePicture),
                                         healthLastChangedText(row, datePicture)};
        for (int i = 0; i < kColumns; ++i) record.setText(i, texts[i]);
        builder.addEntry(record);
    }
    builder.finish();
    return pages;
}

} // namespace ql
