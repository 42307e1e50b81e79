#include "reports/views/ReportMenu.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtFileDialogs.h"
#include "reports/ReportProcedure.h"
#include "reports/render/QtTextMeasure.h"
#include "reports/views/QtPrintTarget.h"
#include "reports/views/ReportProgressWindow.h"
#include "signin/SettingsKeys.h"
#include "signin/views/ReportFont.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/StartUp.h"

namespace ql {

namespace {

TextFont withReportFont(const TextFont& own, const ReportFontTexts& texts) {
    QFont base(own.family);
    base.setPointSizeF(own.points);
    base.setWeight(QFont::Weight(own.weight));
    const QFont font = reportFont(texts, base);
    TextFont style = own;
    style.family = font.family();
    style.points = font.pointSizeF() > 0 ? font.pointSizeF() : own.points;
    style.weight = int(font.weight());
    style.italic = font.italic();
    style.underline = font.underline();
    style.strikeOut = font.strikeOut();
    const QColor colour = reportFontColour(texts.colour);
    if (colour.isValid()) style.colour = colour.rgb() & 0xFFFFFF;
    return style;
}

} // namespace

void applyReportFont(ReportLayout& layout, const ProgramValues& values) {
    const ReportFontTexts texts{values.fontType, values.fontSize, values.fontStyle, values.fontColour};
    if (texts.isBlank()) return;
    layout.forEachControl([&](ReportControl& c) { c.font = withReportFont(c.font, texts); });
}

void runReport(ProgramServices& services, const ProgramValues& values, ReportKind kind, QWidget* parent,
               const PrinterChoice& printer) {
    ReportLayout layout = reportLayout(kind);
    applyDatePreference(layout, values.dateFormat);
    applyReportFont(layout, values);
    const ReportStrings defaults;
    const ReportStrings strings =
        loadReportStrings(kReportStringsFile, QString(), defaults.askPreviewTitle, defaults.askPreviewText);
    QtFileDialogs files(parent);
    QtPrintTarget target(files, services.prompter(), services.positions(), parent, printer);
    QtTextMeasure measure;
    SystemClock clock;
    ReportContext context{services.prompter(), target, measure, clock,
                          [&services](int message, const DataTable& table) {
                              services.opener().reportFileError(message, table);
                          }};
    ReportProcedure::Hooks hooks;
    hooks.openPasswords = [&services](DataTable& table) { return services.managers().passwords.open(table) == 0; };
    hooks.selectUser = [&services, parent](Record& user) { return runSelectUsers(services, user, parent); };
    hooks.showProgress = [&services, parent](ReportSession& session) {
        ReportProgressWindow window(session, parent);
        window.keepPlaceIn(services.positions());
        window.run();
    };
    ReportProcedure(context, files, hooks).run(layout, strings);
}

} // namespace ql
