#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QAbstractItemModel;

namespace ql {

class FileDialogs;
class Prompter;

// A list as an export writes it: its headings and, row by row, the text of
// each cell.
struct ListExportTable {
    QString title;
    QStringList headers;
    int rows = 0;
    std::function<QString(int row, int column)> cell;
};

// The columns of a model that a view shows (their model indices, left to
// right), every row, with the shown text of each cell.
ListExportTable shownTable(const QAbstractItemModel& model, const std::vector<int>& columns,
                           const QString& title);
// Adds a column after the others.
void addExportColumn(ListExportTable& table, const QString& header, std::function<QString(int row)> cell);

// Tab-separated lines in UTF-8, the headings first. A tab, line break or
// backslash inside a cell is written as \t, \n, \r or \\, so that every text
// (a password with a tab in it too) comes back exactly.
QByteArray listAsText(const ListExportTable& table);

// A page of its own in UTF-8: every text escaped, blanks kept as they are,
// and a policy that lets the page load nothing and run nothing.
QByteArray listAsHtml(const ListExportTable& table);

enum class ListExportFormat { Text, Html };

// What the user chose to export, before choosing the file.
struct ListExportChoice {
    ListExportFormat format = ListExportFormat::Text;
    bool passwords = false;
};

// Writes a list where the user chooses, as every file written for the user:
// never over one of the data folder's own files, with a warning where the
// file system cannot keep it private, through a temporary file that replaces
// the target once complete.
class ListExporter {
public:
    static inline const QString kTitle = QStringLiteral("Export List");

    ListExporter(FileDialogs& files, Prompter& prompter) : files_(files), prompter_(prompter) {}
    // The file written, or an empty text when cancelled or failed (told).
    QString run(const ListExportTable& table, ListExportFormat format, const QString& suggestedName);

private:
    QString chooseFile(ListExportFormat format, const QString& suggestedName);

    FileDialogs& files_;
    Prompter& prompter_;
};

} // namespace ql
