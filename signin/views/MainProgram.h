#pragma once
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace ql {

class ProgramServices;

// What the main program carries beyond what it shares with the monitor
// program, handed in by its main().
struct MainProgramParts {
    // Runs before the frame opens: nothing when the command line asks for no
    // synchronization, else the exit code of the run that handled it.
    std::function<std::optional<int>(ProgramServices&, const QStringList&)> commandLineSync;
    // "S&ynchronize" in the File menu; the item stays disabled without it.
    std::function<void(ProgramServices&, QWidget* frame)> synchronize;
    // "&Import" and "&Export" in the File menu; both stay disabled without them.
    std::function<void(ProgramServices&, QWidget* frame)> importPasswords;
    std::function<void(ProgramServices&, QWidget* frame)> exportPasswords;
};

// Runs the main program from start-up to shutdown (a QApplication must exist);
// returns the exit code.
int runMainProgram(const QStringList& arguments, const MainProgramParts& parts = {});

} // namespace ql
