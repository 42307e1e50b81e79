#pragma once
#include <QString>

namespace ql {

// Files shipped with the programs (the generator's word list, the key list)
// sit beside the programs in a build folder and in the shared data folder of
// an installation, found from the programs' folder (bin/../share/quillock).
// Returns the first place that holds the file, or the place beside the
// programs when neither does, so that a message can name it.
QString shippedFilePath(const QString& programFolder, const QString& fileName);

// The same for the running program.
QString shippedFilePath(const QString& fileName);

} // namespace ql
