#pragma once
#include <QString>

namespace ql {

// True when `path` names one of the program's table files in the current
// data folder, or one of their journals: an export must never write there.
bool isLiveDataFile(const QString& path);

} // namespace ql
