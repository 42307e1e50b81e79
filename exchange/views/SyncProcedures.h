#pragma once
#include "exchange/SyncFormat.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "platform/records/Record.h"
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace ql {

class ProgramServices;

// The name both procedures start from until another file is chosen, for as
// long as the program runs.
inline const QString kDefaultSyncFile = QStringLiteral("quillock.syn");
// That name in the user's home folder: a sync file is carried elsewhere, and
// the data folder is no place for it.
QString defaultSyncFilePath();

// Sending and receiving from the menu: the file dialog, the user choice (with
// the password confirmed), the progress window, then the messages.
class SyncProcedures {
public:
    // `fileName` is the program-wide name of the synchronization file.
    SyncProcedures(ProgramServices& services, FileDialogs& dialogs, QString& fileName);

    void syncSend(QWidget* parent);
    void syncReceive(QWidget* parent);

    // How a user is chosen: "Select User" unless a test puts in its own.
    std::function<int(Record& user, QWidget* parent)> selectUser;
    // Told of the receiving user when a receive changed his watched entries,
    // so that a running window monitor reloads them; may be empty.
    std::function<void(const QString& userName)> watchedEntriesChanged;
    // Key derivation cost of files written (tests lower it).
    sync_format::KdfLimits limits = sync_format::kWritten;

private:
    bool chooseFile(bool save, QWidget* parent);
    bool chooseUser(Record& user, QWidget* parent);
    void show(const std::vector<Prompt>& messages);

    ProgramServices& services_;
    FileDialogs& dialogs_;
    QString& fileName_;
};

} // namespace ql
