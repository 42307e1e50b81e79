#pragma once
#include <QString>

namespace ql {

// True when a process of this user runs the program file named `programName`
// (its base name, e.g. "qlmon") with `folder` as its current folder, which is
// where both programs work in their data folder. Read from /proc.
bool programRunsIn(const QString& programName, const QString& folder);

} // namespace ql
