#pragma once
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace ql {

class ProgramServices;
struct ProgramValues;

// What the main program carries beyond what it shares with the monitor
// program, handed in by its main().
struct MainProgramParts {
    // Runs before the frame opens: nothing when the command line asks for no
    // synchronization, else the exit code of the run that handled it.
    std::function<std::optional<int>(ProgramServices&, const QStringList&)> commandLineSync;
    // "S&ynchronize" in the File menu; the item stays disabled without it. The
    // function it is given tells the window monitor that a user's watched
    // entries changed (a receive wrote one).
    std::function<void(ProgramServices&, const std::function<void(const QString&)>& watchedEntriesChanged,
                       QWidget* frame)>
        synchronize;
    // "&Import" and "&Export" in the File menu; both stay disabled without them.
    std::function<void(ProgramServices&, QWidget* frame)> importPasswords;
    std::function<void(ProgramServices&, QWidget* frame)> exportPasswords;
    // The reports of the File menu's "Reports", by number from "by Service"
    // (0) to "Master Report" (4) and "Password Health" (5); the items stay
    // disabled without it.
    std::function<void(ProgramServices&, const ProgramValues&, int report, QWidget* frame)> report;
    // "Print &Setup ...": the printer and paper of the reports for the rest of the run.
    std::function<void(QWidget* frame)> printSetup;
    // The tips of the about window, made anew for each opening; none without it.
    std::function<QWidget*(ProgramServices&)> tipsPanel;
    // Runs once before the frame opens: gives a new data folder its tips.
    std::function<void(ProgramServices&)> prepareTips;
    // A command-line run with no display: messages go to standard error and
    // a protected data folder takes its passphrase only from standard input.
    bool withoutDisplay = false;
};

// Runs the main program from start-up to shutdown (a QApplication must exist);
// returns the exit code.
int runMainProgram(const QStringList& arguments, const MainProgramParts& parts = {});

} // namespace ql
