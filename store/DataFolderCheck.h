#pragma once
#include "platform/core/Prompter.h"
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace ql {

// What lets other users read or change the data folder or the table files in it,
// with the commands that put it right.
struct FolderExposure {
    QStringList problems; // e.g. "other users may write to the folder"
    QStringList fixes;    // e.g. chmod 700 '/home/amy/data'
    bool exposed() const { return !problems.isEmpty(); }
};

// Checks the folder and its table files against the user `uid`.
FolderExposure checkDataFolder(const QString& folder, uid_t uid);

// The start-up warning for an exposed folder.
Prompt dataFolderWarning(const QString& folder, const FolderExposure& exposure);

} // namespace ql
