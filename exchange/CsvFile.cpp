#include "exchange/CsvFile.h"
#include <QFileInfo>
#include <QSaveFile>
#include "platform/core/PrivateFile.h"

namespace ql {

namespace {

// The dialogs match the pattern in either case; "*" is every file, with or
// without a dot in its name.
const QString kImportFilter = QStringLiteral("Import Files|*.CSV|All Files|*");
const QString kExportFilter = QStringLiteral("Export Files|*.CSV|All Files|*");

} // namespace

CsvFile::CsvFile(FileDialogs& dialogs, Prompter& prompter) : dialogs_(dialogs), prompter_(prompter) {}

void CsvFile::showError(const QString& caption, int number, const QString& text,
                        PromptButtons buttons) {
    lastAnswer_ = prompter_.ask({caption,
                                 QStringLiteral("Error #") + QString::number(number) +
                                     QStringLiteral(" - ") + text.trimmed(),
                                 buttons, PromptButton(buttons & int(PromptButton::Retry)
                                                           ? int(PromptButton::Retry)
                                                           : int(PromptButton::Ok)),
                                 PromptIcon::Stop});
}

QString CsvFile::chooseInput() {
    return dialogs_.openFile({QStringLiteral("Import Comma-Separated Value File"), kImportFilter, name_});
}

QString CsvFile::chooseOutput() {
    return dialogs_.saveFile({QStringLiteral("Export Comma-Separated Value File"), kExportFilter, name_});
}

qint64 CsvFile::openInput(const QString& name) {
    close();
    output_ = false;
    for (QString path = name.trimmed();; path.clear()) {
        if (path.isEmpty()) path = chooseInput();
        if (path.isEmpty()) return 0;
        name_ = path;
        switch (reader_.open(path)) {
        case CsvReader::Opened::Ok: return reader_.size();
        case CsvReader::Opened::Failed:
            showError(QStringLiteral("Cannot OPEN ") + path, reader_.errorNumber(), reader_.errorText());
            return 0;
        case CsvReader::Opened::Empty:
            prompter_.ask({QStringLiteral("Attention!"),
                           QStringLiteral("That file is empty!  Please pick another file."),
                           int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
            break;
        case CsvReader::Opened::EndsInsideQuotes:
            prompter_.ask({QStringLiteral("Attention!"),
                           QStringLiteral("That file ends inside a quoted value that begins on "
                                          "line %1.  Please pick another file.")
                               .arg(reader_.unterminatedLine()),
                           int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
            break;
        }
    }
}

void CsvFile::rewind(bool) {
    reader_.rewind();
    line_.start({});
}

qint64 CsvFile::readLine() {
    const qint64 bytes = reader_.readRecord();
    line_.start(reader_.record());
    return bytes;
}

std::optional<QString> CsvFile::unpickField(const Picture& picture) const {
    switch (picture.kind()) {
    case PictureKind::Date:
    case PictureKind::Time:
    case PictureKind::Pattern: {
        const std::optional<qint64> value = picture.unformat(field());
        if (!value) return std::nullopt;
        return QString::number(*value);
    }
    default: return field().toString();
    }
}

bool CsvFile::refusedTarget(const QString& path) {
    if (!refused_ || !refused_(path)) return false;
    prompter_.ask(dataFolderFileRefused(path));
    return true;
}

// Checks that the file can be made there, without touching an existing one.
bool CsvFile::canCreate(const QString& path) {
    QSaveFile probe(path);
    if (probe.open(QIODevice::WriteOnly)) {
        probe.cancelWriting();
        return true;
    }
    showError(QStringLiteral("Cannot CREATE ") + path, int(probe.error()), probe.errorString());
    return false;
}

bool CsvFile::openOutput(const QString& name) {
    close();
    for (QString path = name.trimmed();; path.clear()) {
        if (path.isEmpty()) path = chooseOutput();
        if (path.isEmpty()) return false;
        name_ = path;
        if (refusedTarget(path)) continue;
        if (!canCreate(path)) return false;
        if (!acceptReadableByOthers(path, prompter_)) continue;
        writer_.clear();
        output_ = true;
        return true;
    }
}

void CsvFile::appendField(QStringView value, const Picture& picture, bool header) {
    if (header) writer_.appendHeader(value);
    else writer_.appendField(value, picture);
}

bool CsvFile::writeLine() {
    if (!output_) return false;
    writer_.endLine();
    return true;
}

// Writes everything through a temporary file beside the target that replaces
// it at the end; a failure leaves any earlier file as it was.
bool CsvFile::save() {
    for (;;) {
        QSaveFile file(name_);
        // Whether others may read it was settled when the file was chosen.
        QString error = private_file::open(file, private_file::Privacy::BestEffort);
        if (error.isEmpty() && file.write(writer_.contents()) != writer_.contents().size())
            error = file.errorString();
        if (error.isEmpty()) error = private_file::commit(file);
        if (error.isEmpty()) return true;
        showError(QStringLiteral("Cannot ADD to ") + name_, int(file.error()), error,
                  int(PromptButton::Retry) | int(PromptButton::Abort));
        if (lastAnswer_ != PromptButton::Retry) return false;
    }
}

bool CsvFile::close() {
    bool ok = true;
    if (output_) ok = save();
    output_ = false;
    writer_.clear();
    reader_.close();
    line_.start({});
    return ok;
}

} // namespace ql
