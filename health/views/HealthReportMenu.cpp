#include "health/views/HealthReportMenu.h"
#include "framework/Pictures.h"
#include "health/HealthReport.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtFileDialogs.h"
#include "reports/ReportProcedure.h"
#include "reports/render/QtTextMeasure.h"
#include "reports/views/QtPrintTarget.h"
#include "reports/views/ReportMenu.h"
#include "signin/SettingsKeys.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/Layouts.h"
#include "store/StartUp.h"

namespace ql {

namespace {

void sayNoEntries(Prompter& prompter) {
    prompter.ask({QStringLiteral("Password Health"), QStringLiteral("There are no entries to report."),
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
}

// Prints the pages once; a printer that fails offers the PDF instead.
void printPages(const std::vector<ReportPage>& pages, int copies, const QString& title, PrintTarget& target,
                FileDialogs& files, Prompter& prompter) {
    const int saved = target.copies();
    target.setCopies(copies);
    bool printed = target.beginJob(title);
    for (size_t i = 0; printed && i < pages.size(); ++i) printed = target.printPage(pages[i]);
    printed = printed && target.endJob();
    if (!printed) {
        const QString trouble = target.errorText();
        target.abortJob();
        prompter.ask({QStringLiteral("Printing Failed"), QStringLiteral("The report could not be printed.\n\n") + trouble,
                      int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
        savePagesAsPdf(pages, title + QStringLiteral(".pdf"), files, prompter, target);
    }
    target.setCopies(saved);
}

} // namespace

void runHealthReport(ProgramServices& services, const ProgramValues& values, QWidget* parent,
                     const PrinterChoice& printer) {
    Record user(usersTable());
    if (runSelectUsers(services, user, parent) != 1) return;
    DataTable passwords(passwordsTable());
    if (services.managers().passwords.open(passwords) != 0) return;
    SystemClock clock;
    const std::vector<HealthRow> rows = checkUserPasswords(passwords, user.text("U_:NAME"), clock.today());
    passwords.close();
    if (rows.empty()) {
        sayNoEntries(services.prompter());
        return;
    }
    ReportLayout layout = healthReportLayout();
    applyReportFont(layout, values);
    QtTextMeasure measure;
    const std::vector<ReportPage> pages = healthReportPages(
        rows, layout, measure, {1, clock.today(), clock.now()}, preferredDatePicture(values.dateFormat));
    QtFileDialogs files(parent);
    QtPrintTarget target(files, services.prompter(), services.positions(), parent, printer);
    const PreviewResult result = target.preview(pages, 100, layout.title);
    if (result.print) printPages(pages, result.copies, layout.title, target, files, services.prompter());
}

} // namespace ql
