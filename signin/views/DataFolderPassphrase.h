#pragma once

class QWidget;

namespace ql {

class FolderLock;
class Prompter;

// The Options window's "Protect the data folder with a passphrase...": asks
// through PassphraseWindow. A new passphrase for a protected folder is sealed
// at once. Turning protection on or off re-encrypts every table, which needs
// them all closed: it is agreed here (no other program may hold the folder's
// `lock`) and made by finishDataFolderSwitch() once the main program's
// windows and tables are closed and its own lock is gone. True when the
// program should close for it now.
bool askDataFolderPassphrase(Prompter& prompter, QWidget* parent, const FolderLock* lock);

// Makes an agreed switch, if any, in the current (data) folder and says how
// it went (refused while another program holds the folder); returns `exitCode`.
int finishDataFolderSwitch(Prompter& prompter, int exitCode);

} // namespace ql
