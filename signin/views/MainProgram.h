#pragma once
#include <QStringList>

namespace ql {

// Runs the main program from start-up to shutdown (a QApplication must exist);
// returns the exit code.
int runMainProgram(const QStringList& arguments);

// Synchronization asked for on the command line; true when it handled the run
// and the frame must not open. No synchronization parameters are understood yet.
bool runCommandLineSynchronization(const QStringList& arguments);

} // namespace ql
