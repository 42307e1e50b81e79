#pragma once
#include <QStringList>

namespace ql {

// Runs the monitor program from start-up to shutdown (a QApplication must
// exist); returns the exit code.
int runMonitorProgram(const QStringList& arguments);

inline const QString kRunMainProgramFirst = QStringLiteral(
    "You must run the main Quillock program before you can use the Quillock Monitor.");

} // namespace ql
