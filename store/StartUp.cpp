#include "store/StartUp.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SchemaGuard.h"
#include "platform/recordstore/SqlSchema.h"
#include "store/DataFolderCheck.h"
#include "store/DataFolderProtection.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "store/StartUpUnlock.h"
#include "platform/secure/Wipe.h"
#include <QDir>
#include <unistd.h>

namespace ql {

QString dataParameter(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        QString a = argument;
        if (a.startsWith('/') || a.startsWith('-')) a.remove(0, 1);
        if (a.startsWith(QLatin1String("data="), Qt::CaseInsensitive)) {
            const QString value = a.mid(5).trimmed();
            if (!value.isEmpty()) return value;
        }
    }
    return {};
}

namespace {

// The table files a start opens, their schemas checked in one checker run
// rather than one run each. A file busy now is checked when it is opened.
void checkStartTables() {
    const TableDef* tables[] = {&configurationTable(), &usersTable(), &passwordsTable(),
                                &wordsTable()};
    std::vector<SecretBytes> keys;
    keys.reserve(std::size(tables));
    std::vector<SchemaCheckRequest> requests;
    for (const TableDef* def : tables) {
        keys.push_back(rawTableKey(def->owner));
        requests.push_back({locateTable(def->storedAs).filePath, &keys.back(), 0});
    }
    guardFileSchemas(requests);
}

} // namespace

QString ProgramServices::positionFileName(ProgramKind kind) {
    return kind == ProgramKind::Main ? QStringLiteral(".\\POSITION.INI")
                                     : QStringLiteral(".\\QLMON.INI");
}

ProgramServices::ProgramServices(ProgramKind kind, const QStringList& arguments,
                                 Prompter& prompter, Halt halt)
    : kind_(kind), prompter_(prompter), opener_(prompter, halt) {
    const QString folder = dataParameter(arguments);
    if (!folder.isEmpty()) dataFolderFound_ = QDir::setCurrent(folder);
    if (dataFolderFound_) {
        const FolderExposure exposure = checkDataFolder(QDir::currentPath(), getuid());
        if (exposure.exposed()) prompter_.ask(dataFolderWarning(QDir::currentPath(), exposure));
    }
    QString ownerKey = buildOwnerKey();
    setOwnerKey(ownerKey);
    wipeText(ownerKey);
    if (dataFolderFound_) {
        // The monitor program leaves a folder where the main program never ran as it found it.
        const bool create = kind == ProgramKind::Main || !DataFolderProtection(QDir::currentPath()).isNew();
        folderLock_ = std::make_unique<FolderLock>(QDir::currentPath(), create);
        folderLock_->share(); // waits while a switch of the folder's keys runs
        unlockDataFolder(arguments, halt);
        if (kind == ProgramKind::Main) offerNewFolderPassphrase(*folderLock_, prompter_);
        checkStartTables();
    }
    errors_ = std::make_unique<ErrorManager>(prompter, halt);
    positions_.openStore(positionFileName(kind));
    managers_ = std::make_unique<RecordManagers>(*errors_, kind);
    registerTables(kind);
}

// Managers go before the error manager they report through.
ProgramServices::~ProgramServices() {
    managers_.reset();
    errors_.reset();
}

QString ProgramServices::dataFolder() const { return QDir::currentPath(); }

} // namespace ql
