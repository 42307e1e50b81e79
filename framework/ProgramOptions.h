#pragma once
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

namespace ql {

// What a program prints for --help and --version.
struct ProgramUsage {
    QString program; // the command's name, "quillock"
    QString version; // "2.72"
    QString usage;   // the text printed for --help
    // A line printed under the version (what types the keystrokes on this
    // desktop); asked only for --version, since finding it out connects to
    // the desktop. Empty lines are left out.
    std::function<QString()> versionDetail;
};

// What the command line asks before the program opens any window.
enum class OptionRequest { Start, Help, Version, Unknown };

struct OptionCheck {
    OptionRequest request = OptionRequest::Start;
    QString option; // the unknown option
};

// Options are the arguments beginning with two dashes, and "-h". "--help",
// "-h" and "--version" are the program's own; the window toolkit's options
// ("--platform offscreen", "--style=fusion", ...) pass through to it. Any
// other is unknown. The first of them decides. Parameters such as "Data=...",
// "/SyncIn" or "-Data=..." are not options. The first argument is the program.
OptionCheck checkOptions(const QStringList& arguments);

// Prints the usage or the version on `out`, or names the unknown option on
// `err`. Returns the exit code (0, or 2 for an unknown option), or nothing
// when the program should start.
std::optional<int> answerOptions(const QStringList& arguments, const ProgramUsage& usage,
                                 QTextStream& out, QTextStream& err);

} // namespace ql
