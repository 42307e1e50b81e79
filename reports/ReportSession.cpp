#include "reports/ReportSession.h"

namespace ql {

namespace {

constexpr int kViewOpenError = 36;
constexpr int kReadError = 35;

Prompt question(const QString& title, const QString& text, PromptButtons buttons, PromptButton byDefault) {
    return {title, messageText(text), buttons, byDefault, PromptIcon::Question};
}

} // namespace

ReportSession::ReportSession(const ReportLayout& layout, ReportMode mode, DataTable& passwords,
                             const QString& userName, const ReportStrings& strings, ReportContext context)
    : layout_(layout), mode_(mode), passwords_(passwords), strings_(strings), context_(std::move(context)),
      pages_(layout, passwords.def(), context_.measure,
             PageStamp{1, context_.clock.today(), context_.clock.now()},
             [this](ReportPage&& page) { acceptPage(std::move(page)); }),
      run_(passwords, userName, passwords.def().keyIndex(layout.key), pages_) {}

ReportSession::~ReportSession() = default;

QString ReportSession::windowTitle() const {
    return mode_ == ReportMode::Preview ? strings_.progressTitlePreview : strings_.progressTitlePrint;
}

QString ReportSession::percentText() const {
    return QStringLiteral("%1").arg(run_.percent(), 3) + strings_.percentText;
}

// Every page is kept, also those printed straight away, so that a printer
// failing half-way still leaves the whole report to be saved.
void ReportSession::acceptPage(ReportPage&& page) {
    if (straight_ && !context_.target.printPage(page)) {
        straight_ = false;
        printerTrouble_ = context_.target.errorText();
        context_.target.abortJob();
    }
    queue_.push_back(std::move(page));
}

bool ReportSession::tick() {
    if (end_ != End::Running) return false;
    if (!opened_ && !open()) return false;
    if (!run_.step(kEntriesPerTick)) {
        if (run_.readFailed()) context_.reportFileError(kReadError, passwords_);
        end_ = End::Completed;
    }
    return end_ == End::Running;
}

// Positions the reading on the user's first entry and opens the output.
bool ReportSession::open() {
    opened_ = true;
    switch (run_.start()) {
    case ReportRun::Start::Found: break;
    case ReportRun::Start::PositionFailed:
        context_.reportFileError(kViewOpenError, passwords_);
        end_ = End::NoEntry;
        return false;
    case ReportRun::Start::ReadFailed:
        context_.reportFileError(kReadError, passwords_);
        [[fallthrough]];
    case ReportRun::Start::NoEntry:
        end_ = End::NoEntry;
        return false;
    }
    if (mode_ == ReportMode::Print && !openPrintOutput()) {
        end_ = End::Stopped;
        return false;
    }
    return true;
}

// Print mode: straight to the printer when it needs no repeated pages;
// false when the user chose not to go on without a printer.
bool ReportSession::openPrintOutput() {
    PrintTarget& target = context_.target;
    if (!target.hasPrinter()) {
        const Prompt warning{strings_.noPrinterTitle, messageText(strings_.noPrinterText),
                             int(PromptButton::Yes) | int(PromptButton::No), PromptButton::Yes,
                             PromptIcon::Exclamation};
        if (context_.prompter.ask(warning) != PromptButton::Yes) return false;
        printerTrouble_ = QStringLiteral("No printer is set up.");
        return true;
    }
    if (target.copies() > 1 && !target.supportsCopies()) return true;
    straight_ = target.beginJob(layout_.title);
    if (!straight_) printerTrouble_ = target.errorText();
    return true;
}

bool ReportSession::cancelRequested() {
    if (end_ != End::Running) return true;
    const PromptButtons yesNo = int(PromptButton::Yes) | int(PromptButton::No);
    if (context_.prompter.ask(question(strings_.cancelSureTitle, strings_.cancelSureText, yesNo,
                                       PromptButton::No)) != PromptButton::Yes)
        return false;
    if (mode_ == ReportMode::Preview && pages_.pagesBegun() > 0) {
        const PromptButton answer = context_.prompter.ask(question(
            strings_.cancelPartialTitle, strings_.cancelPartialText, yesNo | int(PromptButton::Ignore),
            PromptButton::No));
        if (answer == PromptButton::Ignore) return false;
        end_ = answer == PromptButton::Yes ? End::Partial : End::Stopped;
        return true;
    }
    end_ = End::Stopped;
    return true;
}

std::vector<ReportPage> ReportSession::takeQueue() {
    pages_.finish();
    std::vector<ReportPage> pages = std::move(queue_);
    queue_.clear();
    return pages;
}

} // namespace ql
