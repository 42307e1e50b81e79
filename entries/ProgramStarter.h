#pragma once
#include "platform/core/Launcher.h"
#include "platform/core/Prompter.h"
#include <functional>

namespace ql {

// What starting an entry's program or document came to.
enum class StartOutcome {
    Nothing, // blank command line
    Started, // a program was started
    Opened,  // the desktop was asked to open an address or a document
    Failed
};

// Starts an entry's program or document, trailing blanks removed:
//  - a command line whose first word is an executable file (a path, or a name
//    found on PATH) starts that program detached with the other words as its
//    arguments, split as a shell splits them but without a shell; a line that
//    as a whole names an executable file (a path with blanks) starts it alone;
//  - anything else, and a program that would not start, is opened with the
//    desktop's default application: an address with a scheme (or starting with
//    "www.") as an address, otherwise an existing local file.
StartOutcome startProgramOrDocument(Launcher& launcher, const QString& commandLine);

// The same, reporting a failure as the program always has: a beep, then the
// "Critical Error Message" box naming the command line. False on failure.
bool runProgramOrDocument(Launcher& launcher, Prompter& prompter, const std::function<void()>& beep,
                          const QString& commandLine);

class Record;

inline const QString kImportedProgramQuestion =
    QStringLiteral("Start this program from an imported entry?");

// Whether a Send may start the entry's program line. The line of an entry read
// from a comma-separated file, not yet confirmed, is shown to the user with
// the question above (default No); Yes marks the entry confirmed, and the
// caller writes it so that the question is not asked again.
enum class ProgramConsent { Trusted, ConfirmedNow, Refused };
ProgramConsent consentToProgram(Prompter& prompter, Record& entry, const QString& commandLine);

// The executable file a word names: a path (with a "/") to an executable
// file, or a program found on PATH; empty when there is none.
QString executableFile(const QString& word);

} // namespace ql
