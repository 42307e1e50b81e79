#pragma once
#include "exchange/ImportTotals.h"
#include "exchange/views/ExchangeContext.h"
#include "platform/recordstore/DataTable.h"

class QWidget;

namespace ql {

class ImportSetup;
class ProgramServices;

// The main menu's "&Import" and "&Export": each asks for the user, then runs
// its window. Lives for the whole run, so that each file dialog starts where
// the last one ended.
class CsvExchange {
public:
    void exportPasswords(ProgramServices& services, QWidget* frame);
    void importPasswords(ProgramServices& services, QWidget* frame);

private:
    static ImportTotals runImport(ExchangeContext& context, ImportSetup& setup, qint64 fileSize,
                                  DataTable& passwords, const QString& user, bool skipHeader,
                                  QWidget* parent);
    static void showSummary(Prompter& prompter, const ImportTotals& totals);

    QString lastPath_;
};

} // namespace ql
