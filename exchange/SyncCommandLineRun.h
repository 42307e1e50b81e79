#pragma once
#include "exchange/SyncCommandLine.h"
#include "platform/core/Prompter.h"
#include <functional>
#include <optional>

namespace ql {

class ProgramServices;
class RecordManagers;

// Where a synchronization run from the command line reads and writes.
struct CommandLineIo {
    std::function<QString()> readPassword;           // one line of standard input
    std::function<void(const QString&)> out, err;    // one line each
};

// Exit codes of a synchronization run from the command line.
inline constexpr int kSyncSucceeded = 0;
inline constexpr int kSyncFailed = 1;
inline constexpr int kSyncParametersIncorrect = 2;

// Runs a synchronization asked for on the command line without asking
// anything: the user is found by name, the given password must be his, and
// the file is sent or received as given. Prints a one-line summary on success
// and the failure otherwise; returns the exit code. Incomplete parameters show
// the "Synchonization cancelled" message.
int runCommandLineSync(const SyncRequest& request, RecordManagers& managers, Prompter& prompter,
                       const CommandLineIo& io);

// At the main program's start-up: nothing when the command line asks for no
// synchronization, else the run's exit code (standard input, output and error
// as the run's input and output).
std::optional<int> commandLineSync(ProgramServices& services, const QStringList& arguments);

} // namespace ql
