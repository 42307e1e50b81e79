#include "store/DataFileOpener.h"

namespace ql {

namespace se = store_error;

namespace {

struct FileErrorMessage {
    int number;
    const char* title;
    const char* before; // text before E (or before F when there is no E)
    const char* middle; // between E and F
    const char* after;
    bool namesFile;
    const char* halt;   // program ends with this text, or nullptr
};

const FileErrorMessage kMessages[] = {
    {1, "Invalid File", "Error: (", ") accessing ", ".  Press OK to end this application.", true,
     "Invalid File!"},
    {3, "Key Rebuild Error", "Error: (", ") repairing key for ",
     ".  Press OK to end this application.", true, "Error Rebuilding Key!"},
    {4, "File Creation Error", "Error: (", ") creating ", ".  Press OK to end this application.",
     true, "File Creation Error!"},
    {5, "File Creation Error", "Error: (", ") opening created file:",
     ".  Press OK to end this application.", true, "File Creation Error!"},
    {35, "Record Retrieval Error", "Error: (", ") attempting to access a record from the ",
     " file.  Returning to previous window.", true, nullptr},
    {36, "View Open Error", "Error: (",
     ") attempting to open the current VIEW. Filter and Range Limits ignored.", "", false, nullptr},
};

bool isOpen(int code) { return code == se::NoError || code == se::AlreadyOpen; }

} // namespace

DataFileOpener::DataFileOpener(Prompter& prompter, Halt halt)
    : prompter_(prompter), halt_(std::move(halt)) {}

QString DataFileOpener::errorDescription(const DataTable& table) {
    if (table.errorCode() == se::DriverError)
        return table.driverErrorText() + QStringLiteral(" (") + table.driverErrorCode() + ')';
    return table.errorText() + QStringLiteral(" (") + QString::number(table.errorCode()) + ')';
}

PromptButton DataFileOpener::reportFileError(int number, const DataTable& table) {
    const QString e = errorDescription(table);
    const QString f = table.fileName();
    if (number == 2) {
        const PromptButton answer = prompter_.ask(
            {QStringLiteral("Invalid Key"),
             f + QStringLiteral(" key file is invalid.  Do you want to rebuild the key?"),
             int(PromptButton::Yes) | int(PromptButton::No), PromptButton::Yes,
             PromptIcon::Question});
        if (answer != PromptButton::Yes) halt_(QStringLiteral("Invalid Key!"));
        return answer;
    }
    if (number == 25)
        return prompter_.ask({QStringLiteral("Auto Increment Error"),
                              QStringLiteral("Attempts to automatically number this record have "
                                             "failed.  Error: ") + e + '.',
                              int(PromptButton::Retry) | int(PromptButton::Cancel),
                              PromptButton::Cancel, PromptIcon::Exclamation});
    if (number == 30)
        return prompter_.ask({QStringLiteral("File Access Error"),
                              QStringLiteral("File (") + f + QStringLiteral(") could not be opened."
                                                                            "  Error: ") + e + '.',
                              int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    for (const FileErrorMessage& m : kMessages) {
        if (m.number != number) continue;
        const QString text = QLatin1String(m.before) + e + QLatin1String(m.middle) +
                             (m.namesFile ? f : QString()) + QLatin1String(m.after);
        const PromptButton answer = prompter_.ask(
            {QLatin1String(m.title), text, int(PromptButton::Ok), PromptButton::Ok,
             PromptIcon::Exclamation});
        if (m.halt) halt_(QLatin1String(m.halt));
        return answer;
    }
    return PromptButton::None;
}

int DataFileOpener::createAndOpen(DataTable& table, int accessMode) {
    if (table.create() != se::NoError) {
        reportFileError(4, table);
        return table.errorCode();
    }
    if (!isOpen(table.open(accessMode))) reportFileError(5, table);
    return table.errorCode();
}

int DataFileOpener::rebuildAndOpen(DataTable& table, int accessMode) {
    if (reportFileError(2, table) != PromptButton::Yes) return table.errorCode();
    table.close();
    if (table.buildKeys() != se::NoError) {
        reportFileError(3, table);
        return table.errorCode();
    }
    return table.open(accessMode);
}

int DataFileOpener::openDataFile(DataTable& table, bool createAllowed, bool neverCreate,
                                 int accessMode, bool forceShared) {
    const int mode = forceShared ? access_mode::SharedReadWrite : accessMode;
    int code = table.open(mode);
    if (code == se::Locked) {
        table.send(QStringLiteral("Recover=10"));
        code = table.open(mode);
    }
    if (isOpen(code)) return se::NoError;
    if (code == se::NotFound && !neverCreate) {
        if (createAllowed) code = createAndOpen(table, mode);
        else reportFileError(4, table);
    } else if (code == se::KeysInvalid) {
        code = rebuildAndOpen(table, mode);
    } else if (code == se::BadDeclaration) {
        reportFileError(1, table);
    }
    if (isOpen(code)) return se::NoError;
    reportFileError(30, table);
    halt_(QStringLiteral("Disk Error"));
    return table.errorCode();
}

} // namespace ql
