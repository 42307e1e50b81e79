#pragma once
#include "platform/core/Prompter.h"
#include <QString>
#include <QStringList>

namespace ql {

// The rules every file written on the user's behalf follows (exports, PDF
// reports, stored files, synchronization files), whatever writes it.

// The data folder's own files, as paths in the current folder: the tables
// and their journals, the key file and its staged copy, the switch journal,
// the lock files and the window-position files.
QStringList dataFolderFiles();

// True when `path` names one of those files, through any link or spelling of
// the path: writing there would destroy the program's data.
bool isDataFolderFile(const QString& path);

// The one message that refuses such a target.
Prompt dataFolderFileRefused(const QString& path);

// Shows that message when `path` is one of the data folder's own files;
// true when it was refused.
bool refuseDataFolderFile(const QString& path, Prompter& prompter);

// For a file that holds secrets in clear (an export, a report, a stored
// file): where the file system cannot make the file readable by the user
// alone (FAT, the usual USB stick), warns that anyone who holds the medium can
// read it and asks whether to write it anyway. True when it may be written.
bool acceptReadableByOthers(const QString& path, Prompter& prompter);

} // namespace ql
