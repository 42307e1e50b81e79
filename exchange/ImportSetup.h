#pragma once
#include "exchange/CsvFile.h"
#include "exchange/ImportAssignment.h"

namespace ql {

// What the import window works on before the run: the open file's columns
// and their assignment, and the line whose values it shows ("Rec#").
class ImportSetup {
public:
    explicit ImportSetup(CsvFile& csv) : csv_(csv) {}

    // Builds the columns from the first line (and the second, for the numeric
    // guess) and stands on the first line again. False when the file has no line.
    bool load();
    // "&Next": the next line's values. False at the end of the file, after
    // which "&Next" is no longer offered.
    bool next();
    // "A&uto": offered until "&Next" was used. Returns the fields assigned.
    int autoAssign();

    int recordNumber() const { return record_; }
    bool nextAvailable() const { return !atEnd_; }
    bool autoAvailable() const { return record_ == 1; }
    ImportAssignment& assignment() { return assignment_; }
    const ImportAssignment& assignment() const { return assignment_; }

private:
    std::vector<LineField> cutLine();

    CsvFile& csv_;
    ImportAssignment assignment_;
    int record_ = 0;
    bool atEnd_ = false;
};

} // namespace ql
