#include "exchange/views/CsvExchange.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"
#include "exchange/views/ExportPasswordsWindow.h"
#include "exchange/views/ImportPasswordsWindow.h"
#include "framework/ProgressWindow.h"
#include "platform/qt/QtFileDialogs.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <optional>

namespace ql {

namespace {

constexpr int kSelected = 1;

// Everything one window needs, with the file keeping the last path chosen.
struct Session {
    Session(ProgramServices& services, QWidget* frame, QString& keptPath)
        : dialogs(frame), csv(dialogs, services.prompter()), lastPath(keptPath),
          context{services.managers().passwords, services.opener(), services.prompter(),
                  services.positions(), csv,
                  [&services](Record& user, QWidget* parent) { return runSelectUsers(services, user, parent); }} {
        csv.setFileName(lastPath);
    }
    ~Session() { lastPath = csv.fileName(); }

    QtFileDialogs dialogs;
    CsvFile csv;
    QString& lastPath;
    ExchangeContext context;
};

} // namespace

void CsvExchange::exportPasswords(ProgramServices& services, QWidget* frame) {
    Session session(services, frame, lastPath_);
    ExportPasswordsWindow window(session.context, frame);
    window.exec();
}

void CsvExchange::importPasswords(ProgramServices& services, QWidget* frame) {
    Session session(services, frame, lastPath_);
    ExchangeContext& context = session.context;
    Record user(usersTable());
    if (context.selectUser(user, frame) != kSelected) return;
    DataTable passwords(passwordsTable());
    if (context.passwords.open(passwords) != 0) return;
    const qint64 size = session.csv.openInput();
    if (size <= 0) return;
    ImportSetup setup(session.csv);
    std::optional<ImportTotals> totals;
    if (setup.load()) {
        ImportPasswordsWindow window(setup, context.prompter, context.positions,
                                     [&](bool skipHeader) {
                                         totals = runImport(context, setup, size, passwords,
                                                            user.text(u"U_:NAME"), skipHeader, frame);
                                     },
                                     frame);
        window.exec();
    }
    session.csv.close();
    if (totals) showSummary(context.prompter, *totals);
}

ImportTotals CsvExchange::runImport(ExchangeContext& context, ImportSetup& setup, qint64 fileSize,
                                    DataTable& passwords, const QString& user, bool skipHeader,
                                    QWidget* parent) {
    ImportRun run({context.csv, fileSize, passwords, context.passwords, context.opener, context.prompter,
                   user, setup.assignment(), skipHeader});
    if (run.start()) {
        ProgressWindow progress(QStringLiteral("Importing Records"),
                                {[&run] { return run.step(); }, [&run] { return run.percentText(); },
                                 [&run] { run.cancel(); }},
                                parent);
        progress.run();
    }
    return run.totals();
}

void CsvExchange::showSummary(Prompter& prompter, const ImportTotals& totals) {
    const QString caption = totals.failed      ? QStringLiteral("Import Stopped")
                            : totals.cancelled ? QStringLiteral("Import Cancelled")
                                               : QStringLiteral("Import Completed");
    prompter.ask({caption, totals.summary(), int(PromptButton::Ok), PromptButton::Ok,
                  totals.skipped > 0 ? PromptIcon::Exclamation : PromptIcon::Information});
}

} // namespace ql
