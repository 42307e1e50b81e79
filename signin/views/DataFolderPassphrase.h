#pragma once

class QWidget;

namespace ql {

class Prompter;

// The Options window's "Protect the data folder with a passphrase...": asks
// through PassphraseWindow. A new passphrase for a protected folder is sealed
// at once. Turning protection on or off re-encrypts every table, which needs
// them all closed: it is agreed here (the monitor program, or a second main
// program, must not run in the folder) and
// made by finishDataFolderSwitch() once the main program's windows and tables
// are closed. True when the program should close for it now.
bool askDataFolderPassphrase(Prompter& prompter, QWidget* parent);

// Makes an agreed switch, if any, in the current (data) folder and says how
// it went; returns `exitCode`.
int finishDataFolderSwitch(Prompter& prompter, int exitCode);

} // namespace ql
