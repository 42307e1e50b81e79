#pragma once
#include "framework/Halt.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace ql {

class FolderLock;
class Prompter;

// Asks for the passphrase of a protected data folder; `retry` is true after a
// wrong one. Nothing means the user cancelled.
using PassphraseSource = std::function<std::optional<QString>(bool retry)>;

// The window both programs ask through (installed by their views). Without
// one, and with no "Passphrase=-" on the command line, a protected data folder
// does not open.
void setPassphraseWindow(PassphraseSource source);

// The line "Passphrase=-" asks for on standard input (tests put their own).
void setPassphraseInput(std::function<QString()> readLine);

// True when the command line says "Passphrase=-" (any case, an optional
// leading "/" or "-").
bool passphraseFromInput(const QStringList& arguments);

// Start-up in the current (data) folder, before any table opens: finishes or
// undoes an interrupted change of the folder's keys, then, when the folder
// is protected, asks for the passphrase until it opens the key file's seal
// (standard input is asked once) and puts the data key in use. Otherwise it
// halts: "Unlock Cancelled" when the user gives up, "Wrong Passphrase" after
// a wrong one read from standard input, "Key File Damaged" when the key file
// or an interrupted change cannot be read.
void unlockDataFolder(const QStringList& arguments, const Halt& halt);

// Asks, on the first start in a new data folder, for a passphrase to protect
// it with; nothing means "Later". Installed by the main program's windows
// only: command-line runs and the monitor program never ask.
using NewFolderOffer = std::function<std::optional<QString>()>;
void setNewFolderOffer(NewFolderOffer offer);

// Start-up in the current (data) folder, before any table opens: when an
// offer is installed and the folder is new, asks it once and protects the
// folder with the passphrase given, holding `lock` alone meanwhile. Since the
// tables are made right after, a folder is offered this only once.
void offerNewFolderPassphrase(FolderLock& lock, Prompter& prompter);

} // namespace ql
