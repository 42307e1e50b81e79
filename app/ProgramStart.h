#pragma once
#include <QStringList>
#include <optional>

namespace ql {

// Who a program is, for its command line and its windows.
struct ProgramIdentity {
    const char* command;          // "quillock": --help, --version, the desktop entry
    const char* applicationName;  // "Quillock"
    const char* usage;            // the text printed for --help
    // True for command lines whose parameters are left alone: a password
    // given in place may begin with dashes. Null: none are.
    bool (*leaveAlone)(const QStringList& arguments) = nullptr;
};

// What both programs do first, in this order: harden the process (after
// binding what KWin grants only to a program it can still see), answer
// --help and --version before the toolkit needs a display, keep new files
// the user's alone and keep the table verdicts across runs. Returns the exit
// code when the program ends here.
std::optional<int> startProgram(int argc, char** argv, const ProgramIdentity& identity);

// True for a command line that `leaveAlone` takes (a synchronization) when
// no window it showed could be seen: no display is there (the toolkit then
// runs offscreen, since such a run opens no window), or the toolkit was told
// to run offscreen.
bool commandLineWithoutDisplay(int argc, char** argv, bool (*leaveAlone)(const QStringList&));

// Names the application and its windows' application id; after QApplication.
void nameProgram(const ProgramIdentity& identity);

} // namespace ql
