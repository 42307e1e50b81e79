#pragma once
#include "exchange/CsvFile.h"
#include "exchange/ExportFieldList.h"
#include "platform/recordstore/DataTable.h"

namespace ql {

// Writes one user's entries, in service then login-name order, to a
// comma-separated file: one line per entry with the chosen fields and
// pictures, after an optional header line of field names. The user's name is
// matched as the keys match it (case and trailing blanks ignored), so every
// entry of the user is written.
class PasswordExport {
public:
    // `passwords` must be open.
    PasswordExport(DataTable& passwords, CsvFile& csv, Prompter& prompter);

    // Asks for the file (save dialog), writes it and says how many entries it
    // holds ("Done"). Returns the number of lines of entries written, or -1
    // when no file was chosen or it could not be written.
    int run(const QString& user, const std::vector<FieldRow>& rows, bool header);

private:
    struct Column {
        int field;
        bool number; // held as a number: written without a trip through text
        Picture picture;
    };
    bool writeHeader(const std::vector<FieldRow>& rows);
    int writeEntries(const QString& user, const std::vector<Column>& columns);
    void writeEntry(const std::vector<Column>& columns, const RangeRow& row);

    static constexpr int kPageSize = 500;
    static constexpr int kWholeText = 1 << 24; // longer than any stored text
    void message(const QString& caption, const QString& text, PromptIcon icon);

    DataTable& passwords_;
    CsvFile& csv_;
    Prompter& prompter_;
};

} // namespace ql
