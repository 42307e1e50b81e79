#include "reports/ReportLayouts.h"
#include "framework/Pictures.h"

namespace ql {

namespace {

TextFont titleFont() { return {QStringLiteral("Arial"), 14, 700}; }
TextFont labelFont() { return {QStringLiteral("Arial"), 9, 700}; }
TextFont detailFont() { return {QStringLiteral("Arial"), 8, 400}; }

ReportControl label(const QString& text, int x, int y, int width, TextFont font = labelFont()) {
    ReportControl c;
    c.kind = ControlKind::Label;
    c.text = text;
    c.x = x, c.y = y, c.width = width, c.height = kDetailLine;
    c.font = std::move(font);
    return c;
}

ReportControl field(const QString& name, const QString& picture, int x, int y, int width,
                    ControlKind kind = ControlKind::Field) {
    ReportControl c;
    c.kind = kind;
    c.field = name;
    c.picture = picture;
    c.x = x, c.y = y, c.width = width, c.height = kDetailLine;
    c.font = detailFont();
    return c;
}

// Passwords break after any character, so that none of their blanks is lost.
ReportControl password(const QString& picture, int x, int y, int width) {
    ReportControl c = field(QStringLiteral("P_:PASSWORD"), picture, x, y, width);
    c.wrap = Wrap::Anywhere;
    return c;
}

ReportControl notes(const QString& name, int x, int y, int width) {
    return field(name, QString(), x, y, width, ControlKind::Notes);
}

ReportControl box(int x, int y, int width, int height) {
    ReportControl c;
    c.kind = ControlKind::Box;
    c.x = x, c.y = y, c.width = width, c.height = height;
    return c;
}

ReportControl titleControl(const QString& title, int y, int width) {
    ReportControl c = label(title, 0, y, width, titleFont());
    c.height = 240;
    c.align = TextAlign::Center;
    return c;
}

ReportControl footerControl(ControlKind kind, const QString& picture, int x, int y, int width) {
    ReportControl c = field(QString(), picture, x, y, width, kind);
    return c;
}

// The page footer of the first four reports: "Page" and the number.
ReportBand pageFooter(int pageNumberX) {
    return {1000, 9000, 6000, 219,
            {footerControl(ControlKind::PageNumber, QStringLiteral("pPage <<<#p"), pageNumberX, 20, 700)}};
}

// "by Service" and "by URL": four columns, the notes under the password.
ReportLayout fourColumns(const QString& title, const QString& key, int notesLabelY, int notesY) {
    ReportLayout l;
    l.title = title;
    l.key = key;
    const int columns[] = {50, 1550, 3050, 4550};
    l.header = {1000, 1000, 6000, 719,
                {titleControl(title, 20, 6000), box(0, 260, 6000, 460),
                 label(QStringLiteral("Service"), columns[0], 310, 1400),
                 label(QStringLiteral("URL"), columns[1], 310, 1400),
                 label(QStringLiteral("Name"), columns[2], 310, 1400),
                 label(QStringLiteral("Password"), columns[3], 310, 1400),
                 label(QStringLiteral("Notes"), 4552, notesLabelY, 1400)}};
    l.detail = {1000, 0, 6000, notesY + kDetailLine + 75,
                {field(QStringLiteral("P_:SERVICE"), QStringLiteral("@s30"), columns[0], 50, 1400),
                 field(QStringLiteral("P_:URL"), QStringLiteral("@s90"), columns[1], 50, 1400),
                 field(QStringLiteral("P_:NAME"), QStringLiteral("@s30"), columns[2], 50, 1400),
                 password(QStringLiteral("@s20"), columns[3], 50, 1400),
                 notes(QStringLiteral("P_:NOTES"), 4552, notesY, 1400)}};
    l.bodyTop = 1720;
    l.bodyHeight = 7281;
    l.footer = pageFooter(5250);
    return l;
}

ReportLayout byService() {
    ReportLayout l = fourColumns(QStringLiteral("Passwords by Service"), QStringLiteral("P_:KEYSERVICE"), 500, 250);
    l.procedure = QStringLiteral("ReportByService");
    return l;
}

ReportLayout byUrl() {
    ReportLayout l = fourColumns(QStringLiteral("Passwords by URL"), QStringLiteral("P_:KEYURL"), 490, 229);
    l.procedure = QStringLiteral("ReportByURL");
    return l;
}

ReportLayout byName() {
    ReportLayout l;
    l.procedure = QStringLiteral("ReportByName");
    l.title = QStringLiteral("Passwords by Name");
    l.key = QStringLiteral("P_:KEYNAME");
    l.header = {1000, 1000, 6000, 667,
                {titleControl(l.title, 21, 6000), box(0, 260, 6000, 400),
                 label(QStringLiteral("Service"), 104, 313, 1400), label(QStringLiteral("URL"), 1563, 313, 1400),
                 label(QStringLiteral("Name"), 3021, 313, 1417),
                 label(QStringLiteral("Password"), 4479, 313, 1458),
                 label(QStringLiteral("Notes"), 3021, 469, 2917)}};
    // The fields stand high enough for one line above the notes.
    l.detail = {1000, 0, 6000, 156 + kDetailLine + 74,
                {field(QStringLiteral("P_:SERVICE"), QStringLiteral("@s30"), 104, 20, 1400),
                 field(QStringLiteral("P_:URL"), QStringLiteral("@s90"), 1563, 20, 1400),
                 field(QStringLiteral("P_:NAME"), QStringLiteral("@s128"), 3021, 20, 1417),
                 password(QStringLiteral("@s128"), 4479, 20, 1458),
                 notes(QStringLiteral("P_:NOTES"), 3021, 156, 2917)}};
    l.bodyTop = 1688;
    l.bodyHeight = 7313;
    l.footer = pageFooter(5250);
    return l;
}

ReportLayout byLastChange() {
    ReportLayout l;
    l.procedure = QStringLiteral("ReportByLastChange");
    l.title = QStringLiteral("Passwords by Last Date Changed");
    l.key = QStringLiteral("P_:KEYDATECHANGED");
    l.offersPreview = true;
    l.header = {1000, 1000, 6000, 521,
                {titleControl(l.title, 20, 6000), box(0, 260, 6000, 260),
                 label(QStringLiteral("Service"), 104, 313, 1667), label(QStringLiteral("Name"), 1875, 313, 1875),
                 label(QStringLiteral("Last Change Date"), 3854, 313, 1400),
                 label(QStringLiteral("Time"), 5313, 313, 625)}};
    l.detail = {1000, 0, 6000, 52 + kDetailLine + 53,
                {field(QStringLiteral("P_:SERVICE"), QStringLiteral("@s30"), 104, 52, 1667),
                 field(QStringLiteral("P_:NAME"), QStringLiteral("@s30"), 1875, 52, 1875),
                 field(QStringLiteral("P_:LASTCHANGEDATE"), QStringLiteral("d4"), 3854, 52, 1400),
                 field(QStringLiteral("P_:LASTCHANGETIME"), QStringLiteral("@t3"), 5313, 52, 625)}};
    l.bodyTop = 1563;
    l.bodyHeight = 7438;
    l.footer = pageFooter(5292);
    return l;
}

std::vector<ReportControl> masterDetail() {
    const TextFont small = detailFont();
    ReportControl monitor;
    monitor.kind = ControlKind::Check;
    monitor.field = QStringLiteral("P_:MONITOR");
    monitor.text = QStringLiteral("Monitor");
    monitor.x = 2031, monitor.y = 354, monitor.width = 700, monitor.height = kDetailLine;
    monitor.font = small;
    return {
        field(QStringLiteral("P_:URL"), QStringLiteral("@s90"), 2031, 42, 5344),
        field(QStringLiteral("P_:SERVICE"), QStringLiteral("@s30"), 94, 42, 1875),
        field(QStringLiteral("P_:NAME"), QStringLiteral("@s128"), 94, 198, 1875),
        password(QStringLiteral("@s128"), 2031, 198, 2760),
        label(QStringLiteral("Last Changed:"), 4854, 198, 750, small),
        field(QStringLiteral("P_:LASTCHANGEDATE"), QStringLiteral("d4b"), 5604, 198, 1302),
        field(QStringLiteral("P_:LASTCHANGETIME"), QStringLiteral("t3b"), 6906, 198, 594),
        label(QStringLiteral("Settings for Send:"), 1052, 365, 979, small),
        monitor,
        label(QStringLiteral("Wait:"), 2771, 365, 448, small),
        field(QStringLiteral("P_:SECONDSTOWAIT"), QStringLiteral("n3B"), 3219, 365, 406),
        label(QStringLiteral("Title:"), 3625, 365, 271, small),
        field(QStringLiteral("P_:WINDOWTITLETOLOCATE"), QStringLiteral("@s100"), 3896, 354, 3479),
        label(QStringLiteral("No Repeat:"), 2469, 510, 562, small),
        field(QStringLiteral("P_:DONOTREPEATSECONDS"), QStringLiteral("n_6B"), 3031, 510, 532),
        label(QStringLiteral("Send:"), 3563, 510, 333, small),
        field(QStringLiteral("P_:PASTE"), QStringLiteral("@s255"), 3896, 510, 3479),
        notes(QStringLiteral("P_:NOTES"), 2031, 719, 5344),
        notes(QStringLiteral("P_:MORENOTES"), 2031, 917, 5344),
    };
}

ReportLayout master() {
    ReportLayout l;
    l.procedure = QStringLiteral("MasterReport");
    l.title = QStringLiteral("Master Password Report");
    l.key = QStringLiteral("P_:KEYSERVICE");
    l.offersPreview = true;
    l.header = {500, 500, 7500, 719,
                {titleControl(l.title, 20, 7500), box(0, 260, 7500, 459),
                 label(QStringLiteral("URL"), 2031, 290, 5344), label(QStringLiteral("Service"), 94, 290, 1875),
                 label(QStringLiteral("Name"), 94, 470, 1875), label(QStringLiteral("Password"), 2031, 470, 2760)}};
    l.detail = {500, 0, 7500, 917 + kDetailLine + 68, masterDetail()};
    l.bodyTop = 1219;
    l.bodyHeight = 9031;
    const TextFont small = detailFont();
    l.footer = {500, 10250, 7500, 250,
                {footerControl(ControlKind::RunDate, QStringLiteral("D3"), 83, 10, 1000),
                 footerControl(ControlKind::RunTime, QStringLiteral("@T3"), 1104, 10, 1000),
                 label(QStringLiteral("Page:"), 6750, 10, 320, small),
                 footerControl(ControlKind::PageNumber, QStringLiteral("N4"), 7073, 10, 400)}};
    return l;
}

} // namespace

ReportLayout reportLayout(ReportKind kind) {
    switch (kind) {
    case ReportKind::ByService: return byService();
    case ReportKind::ByUrl: return byUrl();
    case ReportKind::ByName: return byName();
    case ReportKind::ByLastChange: return byLastChange();
    case ReportKind::Master: break;
    }
    return master();
}

QString reportMenuText(ReportKind kind) {
    switch (kind) {
    case ReportKind::ByService: return QStringLiteral("by Service");
    case ReportKind::ByUrl: return QStringLiteral("by URL");
    case ReportKind::ByName: return QStringLiteral("by Name");
    case ReportKind::ByLastChange: return QStringLiteral("by Last Date Changed");
    case ReportKind::Master: break;
    }
    return QStringLiteral("Master Report");
}

void applyDatePreference(ReportLayout& layout, const QString& dateFormat) {
    const QString preference = dateFormat.trimmed();
    if (preference.isEmpty()) return;
    int seen = 0;
    layout.forEachControl([&](ReportControl& c) {
        if (c.field.isEmpty() || seen >= 4) return;
        ++seen;
        if (Picture(c.picture).kind() == PictureKind::Date) c.picture = preference;
    });
}

} // namespace ql
