#include "exchange/SyncCommandLineRun.h"
#include "exchange/views/CsvExchange.h"
#include "exchange/views/SyncProcedures.h"
#include "exchange/views/SynchronizeWindow.h"
#include "health/views/HealthReportMenu.h"
#include "reports/views/PrintSetupDialog.h"
#include "reports/views/ReportMenu.h"
#include "signin/views/MainProgram.h"
#include "signin/views/NewFolderOffer.h"
#include "store/StartUp.h"
#include "tools/views/TipsPanel.h"
#include "app/ProgramStart.h"
#include <QApplication>

namespace {

const char* const kUsage =
    "Usage: quillock [Data=FOLDER]\n"
    "       quillock [Data=FOLDER] Sync=I|O User=NAME Password=PASSWORD|- File=FILE\n"
    "       quillock [Data=FOLDER] /SyncIn|/SyncOut NAME PASSWORD|- FILE\n"
    "\n"
    "Quillock, a personal password manager: keeps each user's password entries in\n"
    "encrypted tables and types logins into other programs' windows.\n"
    "\n"
    "  Data=FOLDER         the data folder (default: the current folder); the\n"
    "                      tables are created there on the first start\n"
    "  Sync=I, /SyncIn     receive a synchronization file into NAME's entries\n"
    "  Sync=O, /SyncOut    send NAME's entries into a synchronization file\n"
    "  User=NAME           the user whose entries are sent or received\n"
    "  Password=PASSWORD   that user's password; give - to read it from standard\n"
    "                      input rather than show it in the process list\n"
    "  File=FILE           the synchronization file (relative to the data folder)\n"
    "  Passphrase=-        a data folder's passphrase, read from standard input\n"
    "                      (its first line) instead of the \"Unlock Quillock\" window\n"
    "  --help              show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "A synchronization runs without opening a window and exits: 0 when done, 1 on\n"
    "a failure, 2 when parameters are missing.\n";


// A synchronization's parameters are left alone: a password given in place
// may begin with dashes.
bool isSyncRun(const QStringList& arguments) { return ql::syncRequest(arguments).has_value(); }

const ql::ProgramIdentity kIdentity{"quillock", "Quillock", kUsage, isSyncRun};

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = ql::startProgram(argc, argv, kIdentity)) return *code;
    // A synchronization from a terminal with no desktop (ssh, cron) opens no window.
    const bool withoutDisplay = ql::commandLineWithoutDisplay(argc, argv, isSyncRun);
    QApplication app(argc, argv);
    ql::nameProgram(kIdentity);
    QString syncFileName = ql::defaultSyncFilePath(); // kept for the whole run
    if (!ql::syncRequest(QApplication::arguments())) ql::installNewFolderOffer();
    ql::MainProgramParts parts;
    parts.withoutDisplay = withoutDisplay;
    parts.commandLineSync = ql::commandLineSync;
    parts.synchronize = [&syncFileName](ql::ProgramServices& services,
                                        const std::function<void(const QString&)>& watchedEntriesChanged,
                                        QWidget* frame) {
        ql::runSynchronize(services, syncFileName, frame, watchedEntriesChanged);
    };
    ql::CsvExchange csvExchange; // kept for the whole run: its dialogs start at the last file
    parts.importPasswords = [&csvExchange](ql::ProgramServices& services, QWidget* frame) {
        csvExchange.importPasswords(services, frame);
    };
    parts.exportPasswords = [&csvExchange](ql::ProgramServices& services, QWidget* frame) {
        csvExchange.exportPasswords(services, frame);
    };
    ql::PrinterChoice printer; // "Print Setup" holds for the whole run
    parts.report = [&printer](ql::ProgramServices& services, const ql::ProgramValues& values, int report,
                              QWidget* frame) {
        if (report == int(ql::kAllReports.size()))
            ql::runHealthReport(services, values, frame, printer);
        else
            ql::runReport(services, values, ql::kAllReports.at(size_t(report)), frame, printer);
    };
    parts.printSetup = [&printer](QWidget* frame) { ql::runPrintSetup(printer, frame); };
    parts.tipsPanel = [](ql::ProgramServices& services) -> QWidget* {
        return new ql::TipsPanel({*services.managers().tipOfTheDay, services.errors(),
                                  services.prompter(), services.positions()});
    };
    parts.prepareTips = [](ql::ProgramServices& services) {
        ql::installShippedTips(*services.managers().tipOfTheDay);
    };
    return ql::runMainProgram(QApplication::arguments(), parts);
}
