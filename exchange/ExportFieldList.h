#pragma once
#include <QString>
#include <vector>

namespace ql {

// A row of the export's lists: a field name and the picture it is written with.
struct FieldRow {
    QString name;
    QString picture;
};

// The two lists of the export window: "All Fields" (the twenty fields, fixed)
// and "Export Fields" (what is written, in order, each with its picture).
// It starts with every field chosen, in table order.
class ExportFieldList {
public:
    ExportFieldList();

    const std::vector<FieldRow>& allFields() const { return all_; }
    const std::vector<FieldRow>& exportFields() const { return chosen_; }

    // "&Add ->": the marked rows of "All Fields" not chosen yet go to the end.
    // Returns the export rows to mark: the added ones and the ones already there.
    std::vector<int> add(const std::vector<int>& markedAll);
    // "&Remove": drops the marked export rows.
    void remove(const std::vector<int>& marked);
    // "Shift &Up" / "Shift &Down": moves a row one place, not past the ends;
    // returns where the row is now.
    int shiftUp(int row);
    int shiftDown(int row);
    // "&Picture": a blank picture keeps the one the row had.
    void setPicture(int row, const QString& picture);
    QString typeText(int row) const;

private:
    int chosenIndex(const QString& name) const;

    std::vector<FieldRow> all_;
    std::vector<FieldRow> chosen_;
};

} // namespace ql
