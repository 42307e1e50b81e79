#include "exchange/SyncCommandLineRun.h"
#include "exchange/views/CsvExchange.h"
#include "exchange/views/SyncProcedures.h"
#include "exchange/views/SynchronizeWindow.h"
#include "reports/views/ReportMenu.h"
#include "signin/views/MainProgram.h"
#include "store/StartUp.h"
#include "tools/views/TipsPanel.h"
#include "platform/secure/ProcessHardening.h"
#include <QApplication>
#include <sys/stat.h>

int main(int argc, char** argv) {
    ql::hardenProcess(); // before anything holds a secret: no core dumps, no attaching
    umask(077); // data files, their journals and INI files are the user's alone
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillock"));
    QString syncFileName = ql::kDefaultSyncFile; // kept for the whole run
    ql::MainProgramParts parts;
    parts.commandLineSync = ql::commandLineSync;
    parts.synchronize = [&syncFileName](ql::ProgramServices& services, QWidget* frame) {
        ql::runSynchronize(services, syncFileName, frame);
    };
    ql::CsvExchange csvExchange; // kept for the whole run: its dialogs start at the last file
    parts.importPasswords = [&csvExchange](ql::ProgramServices& services, QWidget* frame) {
        csvExchange.importPasswords(services, frame);
    };
    parts.exportPasswords = [&csvExchange](ql::ProgramServices& services, QWidget* frame) {
        csvExchange.exportPasswords(services, frame);
    };
    parts.report = [](ql::ProgramServices& services, const ql::ProgramValues& values, int report,
                      QWidget* frame) {
        ql::runReport(services, values, ql::kAllReports.at(size_t(report)), frame);
    };
    parts.tipsPanel = [](ql::ProgramServices& services) -> QWidget* {
        return new ql::TipsPanel({*services.managers().tipOfTheDay, services.errors(),
                                  services.prompter(), services.positions()});
    };
    parts.prepareTips = [](ql::ProgramServices& services) {
        ql::installShippedTips(*services.managers().tipOfTheDay);
    };
    return ql::runMainProgram(QApplication::arguments(), parts);
}
