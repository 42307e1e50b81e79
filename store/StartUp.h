#pragma once
#include "framework/ErrorManager.h"
#include "framework/IniStore.h"
#include "platform/datakey/FolderLock.h"
#include "store/DataFileOpener.h"
#include "store/RecordManagers.h"
#include <QStringList>
#include <memory>

namespace ql {

// The value of the "Data" parameter ("Data=folder", any case, an optional
// leading "/" or "-"), or an empty text when it is absent or blank.
QString dataParameter(const QStringList& arguments);

// The program-wide services, built in start-up order: the data folder made
// current, the owner key, the error manager, the window-position store, the
// record managers and the registration of the tables.
class ProgramServices {
public:
    ProgramServices(ProgramKind kind, const QStringList& arguments, Prompter& prompter, Halt halt);
    ~ProgramServices();

    ProgramKind kind() const { return kind_; }
    // False when "Data" named a folder that does not exist.
    bool dataFolderFound() const { return dataFolderFound_; }
    QString dataFolder() const;
    ErrorManager& errors() { return *errors_; }
    IniStore& positions() { return positions_; }
    RecordManagers& managers() { return *managers_; }
    DataFileOpener& opener() { return opener_; }
    Prompter& prompter() { return prompter_; }
    // This program's shared hold on the data folder, for as long as it runs;
    // nothing when "Data" named no folder.
    const FolderLock* folderLock() const { return folderLock_.get(); }

    // Name of the window-position file of each program.
    static QString positionFileName(ProgramKind kind);

private:
    std::unique_ptr<FolderLock> folderLock_; // first made, last gone: after every table
    ProgramKind kind_;
    Prompter& prompter_;
    bool dataFolderFound_ = true;
    std::unique_ptr<ErrorManager> errors_;
    IniStore positions_;
    std::unique_ptr<RecordManagers> managers_;
    DataFileOpener opener_;
};

} // namespace ql
