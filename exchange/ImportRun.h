#pragma once
#include "exchange/CsvFile.h"
#include "exchange/ImportAssignment.h"
#include "exchange/ImportTotals.h"
#include "platform/recordstore/DataTable.h"
#include <QElapsedTimer>
#include <functional>

namespace ql {

class DataFileOpener;
class FileManager;

// Adds one entry per line of the open comma-separated file for one user, a
// batch of lines per timer tick of the progress window. Each line starts from
// a new entry with its defaults and gets the assigned columns; a line that
// cannot be stored (an entry with the same service and name, a value out of
// its field's range) is skipped and counted, never fatal. The entries are
// written in transactions of about a second each, committed at the end, on
// cancel and on failure, so an interrupted run keeps whole entries only.
class ImportRun {
public:
    struct Setup {
        CsvFile& csv;
        qint64 fileSize;
        DataTable& passwords;          // open
        const FileManager& manager;    // primes new entries
        DataFileOpener& opener;        // "Auto Increment Error"
        Prompter& prompter;
        QString user;
        const ImportAssignment& assignment;
        bool skipHeader;
    };
    explicit ImportRun(const Setup& setup);

    // Rewinds, skips the header line when asked and reads the first line.
    // False when there is no line to import (the run is then over).
    bool start();
    // One timer tick: handles at least `minLines` lines (fewer at the end) and
    // goes on while the tick has taken less than `budgetMs`. False once the
    // run is over.
    bool step(int minLines = 25, int budgetMs = 16);
    // "Cancel": ends the run, keeping the entries added so far.
    void cancel();

    bool finished() const { return finished_; }
    QString percentText() const { return percentText_; }
    const ImportTotals& totals() const { return totals_; }

private:
    struct Column {
        Picture picture;
        std::vector<int> fields; // Passwords fields this column fills
    };
    bool readNext();
    bool importLine();
    bool fillEntry(QString& reason);
    bool storeValue(int field, const QString& text, QString& reason);
    bool addEntry();
    void finish();
    void updatePercent();

    Setup s_;
    std::vector<Column> columns_;
    std::vector<QString> targetNames_; // by Passwords field, for the reasons given
    int userField_, idField_, passwordField_, confirmField_;
    bool hasLine_ = false;
    bool finished_ = false;
    qint64 bytesRead_ = 0;
    int percent_ = 0;
    QString percentText_ = QStringLiteral("0% Completed");
    QElapsedTimer batchClock_;
    ImportTotals totals_;
};

} // namespace ql
