#pragma once
#include <QString>

namespace ql {

// True when `path` names one of the data folder's own files (the tables, their
// journals, the window-position files), through any link or spelling of the
// path: a synchronization file must never be written over them.
bool isDataFolderFile(const QString& path);

} // namespace ql
