#include "reports/ReportProcedure.h"
#include "store/FileTargets.h"
#include "store/Layouts.h"

namespace ql {

namespace {

const QString kPdfTitle = QStringLiteral("Save Report as PDF");
const QString kPdfFilter = QStringLiteral("PDF Files|*.PDF|All Files|*.*");

QString withPdfSuffix(const QString& name) {
    const qsizetype slash = name.lastIndexOf(u'/');
    return name.indexOf(u'.', slash + 1) < 0 ? name + QStringLiteral(".pdf") : name;
}

} // namespace

bool savePagesAsPdf(const std::vector<ReportPage>& pages, const QString& suggestedName, FileDialogs& files,
                    Prompter& prompter, PrintTarget& target) {
    QString path, initial = suggestedName;
    while (path.isEmpty()) { // a refused file asks again
        const QString chosen = files.saveFile({kPdfTitle, kPdfFilter, initial});
        if (chosen.isEmpty()) return false;
        initial = chosen;
        path = withPdfSuffix(chosen);
        if (refuseDataFolderFile(path, prompter) || !acceptReadableByOthers(path, prompter)) path.clear();
    }
    const QString error = target.writePdf(pages, path);
    if (error.isEmpty()) return true;
    prompter.ask({kPdfTitle, QStringLiteral("The report could not be saved as a PDF file.\n\n") + error,
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    return false;
}

ReportProcedure::ReportProcedure(ReportContext context, FileDialogs& files, Hooks hooks)
    : context_(std::move(context)), files_(files), hooks_(std::move(hooks)) {}

bool ReportProcedure::askMode(const ReportLayout& layout, const ReportStrings& strings, ReportMode& mode) {
    mode = ReportMode::Print;
    if (!layout.offersPreview) return true;
    const PromptButton answer = context_.prompter.ask(
        {strings.askPreviewTitle, messageText(strings.askPreviewText),
         int(PromptButton::Yes) | int(PromptButton::No) | int(PromptButton::Cancel), PromptButton::Yes,
         PromptIcon::Question});
    if (answer == PromptButton::Yes) mode = ReportMode::Preview;
    return answer == PromptButton::Yes || answer == PromptButton::No;
}

void ReportProcedure::run(const ReportLayout& layout, const ReportStrings& strings) {
    ReportMode mode = ReportMode::Print;
    if (!askMode(layout, strings, mode)) return;
    DataTable passwords(passwordsTable());
    if (!hooks_.openPasswords(passwords)) return;
    Record user(usersTable());
    if (hooks_.selectUser(user) != 1) return sayNothing(mode, strings);
    passwords.send(QStringLiteral("QUICKSCAN=on"));
    ReportSession session(layout, mode, passwords, user.text(u"U_:NAME"), strings, context_);
    hooks_.showProgress(session);
    passwords.send(QStringLiteral("QUICKSCAN=off"));
    finish(session, layout, strings);
}

void ReportProcedure::finish(ReportSession& session, const ReportLayout& layout, const ReportStrings& strings) {
    switch (session.end()) {
    case ReportSession::End::NoEntry: return sayNothing(session.mode(), strings);
    case ReportSession::End::Running:
    case ReportSession::End::Stopped:
        if (session.printingStraight()) context_.target.abortJob();
        return;
    case ReportSession::End::Completed:
    case ReportSession::End::Partial: break;
    }
    if (session.mode() == ReportMode::Print) return finishPrinting(session, layout, strings);
    const std::vector<ReportPage> pages = session.takeQueue();
    if (pages.empty()) return sayNothing(ReportMode::Preview, strings);
    const PreviewResult result = context_.target.preview(pages, 100, layout.title);
    if (result.print) printPages(pages, result.copies, layout);
}

void ReportProcedure::finishPrinting(ReportSession& session, const ReportLayout& layout,
                                     const ReportStrings& strings) {
    const std::vector<ReportPage> pages = session.takeQueue(); // the last page reaches the job here
    if (session.printingStraight()) {
        if (context_.target.endJob()) return;
        const QString trouble = context_.target.errorText();
        context_.target.abortJob();
        return offerPdf(pages, trouble, layout);
    }
    if (pages.empty()) return sayNothing(ReportMode::Print, strings);
    if (!session.printerTrouble().isEmpty()) return offerPdf(pages, session.printerTrouble(), layout);
    printPages(pages, context_.target.copies(), layout);
}

// Prints the queued pages in `copies` copies and puts the printer's own
// number of copies back afterwards.
void ReportProcedure::printPages(const std::vector<ReportPage>& pages, int copies, const ReportLayout& layout) {
    PrintTarget& target = context_.target;
    if (!target.hasPrinter()) return offerPdf(pages, QStringLiteral("No printer is set up."), layout);
    const int saved = target.copies();
    const bool printerCopies = target.supportsCopies();
    target.setCopies(printerCopies ? copies : 1);
    bool printed = target.beginJob(layout.title);
    for (const ReportPage& page : handleCopies(pages, copies, printerCopies)) {
        if (!printed) break;
        printed = target.printPage(page);
    }
    printed = printed && target.endJob();
    const QString trouble = printed ? QString() : target.errorText();
    if (!printed) target.abortJob();
    target.setCopies(saved);
    if (!printed) offerPdf(pages, trouble, layout);
}

void ReportProcedure::offerPdf(const std::vector<ReportPage>& pages, const QString& reason,
                               const ReportLayout& layout) {
    const QString text = QStringLiteral("The report could not be printed.\n\n") + reason +
                         QStringLiteral("\n\nSave it as a PDF file instead?");
    if (context_.prompter.ask({QStringLiteral("Printing Failed"), text,
                               int(PromptButton::Yes) | int(PromptButton::No), PromptButton::Yes,
                               PromptIcon::Exclamation}) != PromptButton::Yes)
        return;
    savePagesAsPdf(pages, layout.title + QStringLiteral(".pdf"), files_, context_.prompter, context_.target);
}

void ReportProcedure::sayNothing(ReportMode mode, const ReportStrings& strings) {
    const bool preview = mode == ReportMode::Preview;
    context_.prompter.ask({preview ? strings.nothingToPreviewTitle : strings.nothingToPrintTitle,
                           messageText(preview ? strings.nothingToPreviewText : strings.nothingToPrintText),
                           int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
}

} // namespace ql
