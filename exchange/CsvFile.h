#pragma once
#include "exchange/CsvLine.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "framework/Pictures.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "store/FileTargets.h"
#include <functional>
#include <optional>

namespace ql {

// The comma-separated file of the import and the export, with its dialogs
// and messages. One object serves both directions, one file at a time, and
// keeps the last chosen path for the next dialog.
class CsvFile {
public:
    CsvFile(FileDialogs& dialogs, Prompter& prompter);

    // Paths the export must never write over: the data folder's own files
    // unless a test puts in its own rule.
    void setRefusedTargets(std::function<bool(const QString& path)> refused) {
        refused_ = std::move(refused);
    }
    // The name variable: the last path chosen, where the next dialog starts.
    QString fileName() const { return name_; }
    void setFileName(const QString& name) { name_ = name; }

    // Input. With a blank name the open dialog asks for the file; an empty
    // file, or one that ends inside a quoted field, is refused and the dialog
    // asked again. Returns the file's size, 0 when nothing was opened.
    qint64 openInput(const QString& name = {});
    // Back before the first line (the reader always reads ahead).
    void rewind(bool readAhead = true);
    // Reads the next line (a record, which may span lines of the file) and
    // starts cutting fields at its beginning. Bytes read, 0 at the end.
    qint64 readLine();
    CsvFieldKind nextField() { return line_.next(); }
    QStringView field() const { return line_.field(); }
    qsizetype position() const { return line_.position(); }
    const QString& line() const { return reader_.record(); }
    int lineNumber() const { return reader_.recordLine(); }
    // The field just cut, read through `picture`: text and number pictures
    // leave it as it is, others give the value they show as a number in
    // decimal; nullopt when the text does not fit the picture.
    std::optional<QString> unpickField(const Picture& picture) const;

    // Output. With a blank name the save dialog asks for the file. The lines
    // are written when the file is closed, in one go, replacing any file of
    // that name only once all of it is written. A file that cannot be made
    // private there (a USB stick) is written only when the user agrees.
    bool openOutput(const QString& name = {});
    void beginLine() { writer_.beginLine(); }
    void appendField(QStringView value, const Picture& picture, bool header = false);
    void appendNumber(qint64 value, const Picture& picture) { writer_.appendNumber(value, picture); }
    bool writeLine();

    // Closes the file; an output file is written here, readable by its owner
    // alone. False when it could not be written and the user gave up.
    bool close();

private:
    QString chooseInput();
    QString chooseOutput();
    bool refusedTarget(const QString& path);
    bool canCreate(const QString& path);
    bool save();
    void showError(const QString& caption, int number, const QString& text,
                   PromptButtons buttons = int(PromptButton::Ok));

    FileDialogs& dialogs_;
    Prompter& prompter_;
    std::function<bool(const QString&)> refused_ = isDataFolderFile;
    QString name_;
    CsvReader reader_;
    CsvLine line_;
    CsvWriter writer_;
    bool output_ = false;
    PromptButton lastAnswer_ = PromptButton::None;
};

} // namespace ql
