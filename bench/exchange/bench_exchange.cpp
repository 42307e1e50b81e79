// Export and import of 100,000 entries through a comma-separated file, by the
// code the windows run, against floors measured in the same run: the sqlcipher
// shell's ".import" of the same file into an encrypted table of the same
// columns and keys, the store's own walk over the entries (export) and its
// batch insert of them (import). Rounds are interleaved; medians of the
// figures and of the per-round ratios are printed, one a line.
#include "exchange/ExchangeFields.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"
#include "exchange/PasswordExport.h"
#include "framework/ErrorManager.h"
#include "platform/core/Clock.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace ql;

namespace {

constexpr int kEntries = 100'000;
// QL_BENCH_ROUNDS overrides the number of rounds (5).
const int kRounds = qEnvironmentVariableIsSet("QL_BENCH_ROUNDS") ? qEnvironmentVariableIntValue("QL_BENCH_ROUNDS") : 5;
const QString kSourceUser = QStringLiteral("Source User");

[[noreturn]] void die(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "bench_exchange: %s %s\n", what, qPrintable(detail));
    std::exit(1);
}

void halt(const QString& text) { die("halted:", text); }

// Everything one data folder needs, made current while it lives.
struct DataFolder {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    ErrorManager errors{prompter, halt};
    RecordManagers managers{errors, ProgramKind::Main};
    DataFileOpener opener{prompter, halt};
    DataTable passwords{passwordsTable()};

    DataFolder() {
        QDir::setCurrent(dir.path());
        if (managers.passwords.open(passwords) != store_error::NoError) die("cannot open Passwords");
    }
};

QString sometimes(QRandomGenerator& rng, const QString& plain, const QString& odd) {
    return rng.bounded(10) == 0 ? odd : plain;
}

void populate(DataFolder& data) {
    QRandomGenerator rng(17);
    DataTable& t = data.passwords;
    Record& r = t.record();
    t.stream();
    for (int i = 0; i < kEntries; ++i) {
        data.managers.passwords.primeRecord(r);
        r.setText("P_:USER", kSourceUser);
        r.setText("P_:SERVICE", QStringLiteral("Service %1").arg(i));
        r.setText("P_:NAME", QStringLiteral("login.name%1@example.com").arg(i % 997));
        r.setText("P_:URL", QStringLiteral("https://www.example%1.com/login").arg(i));
        r.setText("P_:PASSWORD", QString::number(rng.generate64(), 36) +
                                     sometimes(rng, {}, QStringLiteral("\",x")));
        r.setText("P_:NOTES", sometimes(rng, QStringLiteral("Notes for entry %1, kept short").arg(i),
                                        QStringLiteral("Line one of %1\nline \"two\", with a comma").arg(i)));
        r.setNumber("P_:EXPIRYDATE", 80000 + i % 365);
        r.setNumber("P_:EXPIRYINTERVAL", i % 4 == 0 ? 90 : 0);
        r.setNumber("P_:LASTCHANGEDATE", 79000 + i % 700);
        r.setNumber("P_:LASTCHANGETIME", 1 + rng.bounded(kHundredthsPerDay));
        r.setNumber("P_:LEVEL", 10000);
        r.setNumber("P_:MONITOR", i % 2);
        r.setNumber("P_:SECONDSTOWAIT", i % 200);
        r.setText("P_:WINDOWTITLETOLOCATE", QStringLiteral("Login - Service %1").arg(i));
        r.setNumber("P_:DONOTREPEATSECONDS", i % 3600);
        r.setText("P_:PASTE", QStringLiteral("[Name][Tab][Password][Enter]"));
        if (t.add() != store_error::NoError) die("populate:", t.errorText());
    }
    if (t.flush() != store_error::NoError) die("populate flush:", t.errorText());
}

double exportRound(DataFolder& data, const QString& file) {
    ScriptedFileDialogs dialogs;
    dialogs.answers = {file};
    CsvFile csv(dialogs, data.prompter);
    QElapsedTimer clock;
    clock.start();
    const int written = PasswordExport(data.passwords, csv, data.prompter)
                            .run(kSourceUser, ExportFieldList().exportFields(), false);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (written != kEntries) die("export wrote too few lines");
    return seconds;
}

// Into an empty user of a fresh data folder, all twenty fields assigned, the
// way the progress window ticks, until the last entry is committed.
double importRound(const QString& file) {
    DataFolder data;
    ScriptedFileDialogs dialogs;
    CsvFile csv(dialogs, data.prompter);
    ImportSetup setup(csv);
    QElapsedTimer clock;
    clock.start();
    const qint64 size = csv.openInput(file);
    if (size <= 0 || !setup.load()) die("import: cannot open the file");
    for (size_t i = 0; i < exchangeFields().size(); ++i) {
        setup.assignment().assign(int(i), int(i));
        setup.assignment().setPicture(int(i), exchangeFields()[i].exportPicture);
    }
    ImportRun run({csv, size, data.passwords, data.managers.passwords, data.opener, data.prompter,
                   QStringLiteral("Imported User"), setup.assignment(), false});
    if (run.start())
        while (run.step()) {}
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (run.totals().imported != kEntries) die("import stored too few entries");
    return seconds;
}

// The same twenty columns with the keys of the entries table (without the
// owner, which the file does not carry), under a raw key, in WAL mode.
QString shellScript(const QString& file) {
    QString sql = QStringLiteral(
        "PRAGMA key = \"x'%1'\";\nPRAGMA cipher_page_size = 4096;\nPRAGMA journal_mode = WAL;\n"
        "PRAGMA synchronous = FULL;\nPRAGMA cache_size = -65536;\n"
        "CREATE TABLE Pwd (NOTES TEXT, MORENOTES TEXT, SERVICE TEXT COLLATE NOCASE, URL TEXT COLLATE NOCASE,"
        " NAME TEXT COLLATE NOCASE, PASSWORD TEXT COLLATE NOCASE, EXPIRYDATE, EXPIRYINTERVAL, LASTCHANGEDATE,"
        " LASTCHANGETIME, LEVEL, MONITOR, SECONDSTOWAIT, WINDOWTITLETOLOCATE TEXT, WINDOWCONTENTS TEXT,"
        " DONOTREPEATSECONDS, PASTE TEXT, DIRECTSEND, FILENAME TEXT, ENCRYPTEDFILENAME TEXT);\n"
        "CREATE UNIQUE INDEX KeyService ON Pwd (SERVICE, NAME);\n"
        "CREATE UNIQUE INDEX KeyName ON Pwd (NAME, SERVICE);\n"
        "CREATE INDEX KeyUrl ON Pwd (URL, NAME);\n"
        "CREATE INDEX KeyPassword ON Pwd (PASSWORD, NAME, SERVICE);\n"
        "CREATE INDEX KeyMonitor ON Pwd (MONITOR, SERVICE);\n"
        "CREATE INDEX KeyDateChanged ON Pwd (LASTCHANGEDATE, LASTCHANGETIME, SERVICE);\n"
        "CREATE INDEX KeyExpiryDate ON Pwd (EXPIRYDATE, SERVICE);\n"
        "CREATE INDEX KeyLevel ON Pwd (LEVEL, SERVICE);\n"
        ".mode csv\n.import %2 Pwd\nSELECT count(*) FROM Pwd;\n");
    const QByteArray key = QByteArray::number(QRandomGenerator::global()->generate64(), 16)
                               .rightJustified(16, '0').repeated(4);
    return sql.arg(QString::fromLatin1(key), file);
}

double sqlcipherRound(const QString& file) {
    QTemporaryDir dir;
    const QString script = dir.filePath("import.sql");
    QFile out(script);
    if (!out.open(QIODevice::WriteOnly)) die("cannot write the shell script");
    out.write(shellScript(file).toUtf8());
    out.close();
    QProcess shell;
    shell.setStandardInputFile(script);
    QElapsedTimer clock;
    clock.start();
    shell.start(QStringLiteral("sqlcipher"), {dir.filePath("baseline.db")});
    if (!shell.waitForFinished(600'000) || shell.exitCode() != 0) die("sqlcipher shell failed");
    const double seconds = clock.nsecsElapsed() / 1e9;
    const QByteArray counted = shell.readAllStandardOutput().trimmed();
    if (!counted.endsWith(QByteArray::number(kEntries))) die("sqlcipher imported", QString::fromUtf8(counted));
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The export's floor: the store's own read of the same user's twenty fields,
// in the same key order and the same pages, nothing formatted or written.
double storeReadRound(DataFolder& data) {
    DataTable& t = data.passwords;
    std::vector<int> fields;
    const ExportFieldList list;
    for (const FieldRow& row : list.exportFields()) fields.push_back(t.record().fieldIndex(row.name));
    const KeyRange range{t.def().keyIndex(u"P_:KEYSERVICE"), {QVariant(kSourceUser)}, {}, {}};
    constexpr int kPage = 500;
    std::vector<RangeRow> page;
    QElapsedTimer clock;
    clock.start();
    int n = 0;
    for (bool first = true; first || int(page.size()) == kPage; first = false) {
        const int code = first ? t.readRange(range, 0, kPage, false, fields, 1 << 24, page)
                               : t.readRangeAfter(range, page.back().mark(), 0, kPage, fields, 1 << 24, page);
        if (code != store_error::NoError) die("store read:", t.errorText());
        n += int(page.size());
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (n != kEntries) die("the store read too few entries");
    return seconds;
}

std::vector<Record> loadEntries(DataFolder& data) {
    std::vector<Record> entries;
    DataTable& t = data.passwords;
    t.setStoredOrder();
    while (t.next() == store_error::NoError) entries.push_back(t.record());
    return entries;
}

// The import's floor: the store's batch insert of the same entries, already
// in record buffers, into an empty table.
double storeInsertRound(const std::vector<Record>& entries) {
    DataFolder data;
    DataTable& t = data.passwords;
    QElapsedTimer clock;
    clock.start();
    t.stream();
    for (const Record& entry : entries) {
        t.record() = entry;
        t.record().setNumber("P_:ID", 0);
        t.record().setText("P_:USER", QStringLiteral("Imported User"));
        if (t.add() != store_error::NoError) die("store insert:", t.errorText());
    }
    if (t.flush() != store_error::NoError) die("store insert flush:", t.errorText());
    return clock.nsecsElapsed() / 1e9;
}

void print(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
}

} // namespace

int main() {
    setOwnerKey(QString(64, u'5'));
    registerTables(ProgramKind::Main);
    DataFolder source;
    populate(source);
    const std::vector<Record> entries = loadEntries(source);
    const QString file = source.dir.filePath(QStringLiteral("entries.csv"));
    std::vector<double> exports, imports, shell, reads, inserts;
    std::vector<double> importRatios, exportRatios, insertRatios;
    for (int round = 0; round < kRounds; ++round) {
        QDir::setCurrent(source.dir.path());
        reads.push_back(storeReadRound(source));
        exports.push_back(exportRound(source, file));
        imports.push_back(importRound(file));
        shell.push_back(sqlcipherRound(file));
        inserts.push_back(storeInsertRound(entries));
        exportRatios.push_back(exports.back() / reads.back());
        importRatios.push_back(imports.back() / shell.back());
        insertRatios.push_back(imports.back() / inserts.back());
    }
    print("exchange.export_s", median(exports), "s");
    print("exchange.import_s", median(imports), "s");
    print("exchange.sqlcipher_import_s", median(shell), "s");
    print("exchange.import_ratio", median(importRatios), "ratio");
    print("exchange.store_read_s", median(reads), "s");
    print("exchange.export_ratio", median(exportRatios), "ratio");
    print("exchange.store_insert_s", median(inserts), "s");
    print("exchange.import_store_ratio", median(insertRatios), "ratio");
    print("exchange.file_mb", QFile(file).size() / 1e6, "MB");
    return 0;
}
