// Test tool: exports or imports one user's entries through a comma-separated
// file the way the export and import windows do, on the desktop's language
// and date format that its environment gives it (LC_ALL), so that a test can
// write a file on one desktop and read it on another.
// Usage: ql_csv_locale_step FOLDER export FILE USER [DATE-PICTURE]
//        ql_csv_locale_step FOLDER import FILE USER
//        ql_csv_locale_step FOLDER shortdate YYYY-MM-DD   (prints the desktop's short date)
// The export writes every field with its header line (the date fields with
// DATE-PICTURE when given); the import assigns the columns with "Auto".
#include "exchange/CsvFile.h"
#include "exchange/ExportFieldList.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"
#include "exchange/PasswordExport.h"
#include "framework/ErrorManager.h"
#include "framework/Pictures.h"
#include "platform/core/DayNumber.h"
#include "platform/core/FileDialogs.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/RecordManagers.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace ql;

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "ql_csv_locale_step: %s\n", qPrintable(what));
    return 1;
}

void halt(const QString& text) {
    std::fprintf(stderr, "ql_csv_locale_step: %s\n", qPrintable(text));
    std::exit(1);
}

struct Tools {
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    ErrorManager errors{prompter, halt};
    RecordManagers managers{errors, ProgramKind::Main};
    DataFileOpener opener{prompter, halt};
    CsvFile csv{dialogs, prompter};
};

int exportEntries(Tools& t, const QString& file, const QString& user, const QString& datePicture) {
    DataTable passwords(passwordsTable());
    if (t.managers.passwords.open(passwords) != store_error::NoError) return fail("cannot open Passwords");
    std::vector<FieldRow> rows = ExportFieldList().exportFields();
    for (FieldRow& row : rows)
        if (!datePicture.isEmpty() && Picture(row.picture).kind() == PictureKind::Date) row.picture = datePicture;
    t.dialogs.answers = {file};
    const int written = PasswordExport(passwords, t.csv, t.prompter).run(user, rows, true);
    if (written < 0) return fail("the export failed");
    std::printf("%d\n", written);
    return 0;
}

int importEntries(Tools& t, const QString& file, const QString& user) {
    DataTable passwords(passwordsTable());
    if (t.managers.passwords.open(passwords) != store_error::NoError) return fail("cannot open Passwords");
    t.dialogs.answers = {file};
    const qint64 size = t.csv.openInput();
    ImportSetup setup(t.csv);
    if (size <= 0 || !setup.load()) return fail("cannot read " + file);
    setup.autoAssign();
    ImportRun run({t.csv, size, passwords, t.managers.passwords, t.opener, t.prompter, user,
                   setup.assignment(), true});
    if (run.start())
        while (run.step()) {}
    t.csv.close();
    const ImportTotals& totals = run.totals();
    if (totals.skipped > 0 || totals.failed) return fail(totals.summary());
    std::printf("%d\n", totals.imported);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList a = app.arguments().mid(1);
    if (a.size() < 3 || !QDir::setCurrent(a[0])) return fail("usage: FOLDER export|import|shortdate ...");
    const QString what = a[1];
    a = a.mid(2);
    if (what == "shortdate") {
        std::printf("%s\n", qPrintable(formatDate(dayNumber(QDate::fromString(a[0], Qt::ISODate)), "@d17")));
        return 0;
    }
    setOwnerKey(buildOwnerKey());
    Tools tools;
    if (what == "export" && a.size() >= 2) return exportEntries(tools, a[0], a[1], a.value(2));
    if (what == "import" && a.size() == 2) return importEntries(tools, a[0], a[1]);
    return fail("usage: FOLDER export|import|shortdate ...");
}
