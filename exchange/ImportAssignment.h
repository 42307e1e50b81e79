#pragma once
#include "exchange/CsvLine.h"
#include <QString>
#include <vector>

namespace ql {

// A column of the file being imported: "Field_" and its position, the
// picture its text is read through, and its value on the current line.
struct SourceColumn {
    QString name;
    QString picture;
    QString sample;
};

// An entry field that a column may be assigned to ("=" in the list).
struct TargetRow {
    QString name;
    int source = -1; // index of the assigned column, -1 when none
};

// One field of a line as the field cutter found it.
struct LineField {
    CsvFieldKind kind;
    QString text;
};

// The assignment of the import window: which column of the file fills which
// entry field, through which picture. One column may fill several fields; a
// field takes at most one column.
class ImportAssignment {
public:
    ImportAssignment();

    // Columns from the first line's fields, read as text ("@S1000"); a column
    // whose field on the second line is unquoted is read as a number ("@N30.9").
    void buildColumns(const std::vector<LineField>& first, const std::vector<LineField>* second);
    // The values of the current line; columns the line does not reach keep theirs.
    void setSamples(const std::vector<LineField>& line);

    const std::vector<SourceColumn>& sources() const { return sources_; }
    const std::vector<TargetRow>& targets() const { return targets_; }
    QString typeText(int source) const;

    void assign(int source, int target);
    void unassign(int target);
    // Every field without a column takes the first column whose value on the
    // current line is the field's name, and is read through the field's export
    // picture, so that a file exported with its header comes back whole.
    // Returns how many fields were assigned.
    int autoAssign();
    void setPicture(int source, const QString& picture);

    bool anyAssigned() const;
    int firstTargetOf(int source) const;
    // The fields each column fills, by column.
    std::vector<std::vector<int>> targetsBySource() const;

private:
    bool validSource(int source) const { return source >= 0 && source < int(sources_.size()); }
    bool validTarget(int target) const { return target >= 0 && target < int(targets_.size()); }

    std::vector<SourceColumn> sources_;
    std::vector<TargetRow> targets_;
};

} // namespace ql
