#include "exchange/views/SyncProcedures.h"
#include "exchange/SyncMessages.h"
#include "exchange/SyncReceive.h"
#include "exchange/SyncSend.h"
#include "exchange/SyncTarget.h"
#include "exchange/views/SyncProgressWindow.h"
#include "platform/recordstore/StoreError.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <QDir>
#include <QFile>

namespace ql {

namespace {
const QString kFilter = QStringLiteral("Synchronization Files|*.SYN");
} // namespace

QString defaultSyncFilePath() { return QDir::home().filePath(kDefaultSyncFile); }

SyncProcedures::SyncProcedures(ProgramServices& services, FileDialogs& dialogs, QString& fileName)
    : services_(services), dialogs_(dialogs), fileName_(fileName) {
    selectUser = [this](Record& user, QWidget* parent) { return runSelectUsers(services_, user, parent); };
}

bool SyncProcedures::chooseFile(bool save, QWidget*) {
    const FileDialogRequest request{save ? QStringLiteral("File to Send to...")
                                         : QStringLiteral("File to Receive from..."),
                                    kFilter, fileName_};
    const QString chosen = save ? dialogs_.saveFile(request) : dialogs_.openFile(request);
    if (chosen.isEmpty()) return false;
    fileName_ = chosen;
    return true;
}

bool SyncProcedures::chooseUser(Record& user, QWidget* parent) {
    return selectUser(user, parent) == kCompleted;
}

void SyncProcedures::show(const std::vector<Prompt>& messages) {
    for (const Prompt& prompt : messages) services_.prompter().ask(prompt);
}

void SyncProcedures::syncSend(QWidget* parent) {
    Record user(usersTable());
    if (!chooseFile(true, parent) || !chooseUser(user, parent)) return;
    SyncOutcome refused;
    if (isDataFolderFile(fileName_)) {
        refused.end = SyncEnd::RefusedTarget;
        refused.file = fileName_;
        return show(syncEndMessages(refused, SyncDirection::Send));
    }
    DataTable passwords(passwordsTable());
    if (services_.managers().passwords.open(passwords) != store_error::NoError) return;
    passwords.send(QStringLiteral("QUICKSCAN=on"));
    SyncFileWriter writer(fileName_, limits);
    SyncSend run(passwords, user, writer);
    SyncProgressWindow progress(run, QStringLiteral("Sending"), QStringLiteral("SyncSend"),
                                services_.positions(), parent);
    progress.runModal();
    show(syncEndMessages(run.outcome(), SyncDirection::Send));
}

void SyncProcedures::syncReceive(QWidget* parent) {
    Record user(usersTable());
    if (!chooseFile(false, parent) || !chooseUser(user, parent)) return;
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        SyncOutcome missing;
        missing.end = SyncEnd::CannotOpen;
        missing.file = fileName_;
        missing.errorText = file.errorString();
        return show(syncEndMessages(missing, SyncDirection::Receive));
    }
    DataTable passwords(passwordsTable());
    if (services_.managers().passwords.open(passwords) != store_error::NoError) return;
    SyncFileReader reader(file);
    SyncReceive run(passwords, user, reader, fileName_);
    SyncProgressWindow progress(run, QString(), QStringLiteral("SyncReceive"), services_.positions(), parent);
    progress.runModal();
    const SyncOutcome& outcome = run.outcome();
    if (outcome.end == SyncEnd::Completed && outcome.watchedChanged && watchedEntriesChanged)
        watchedEntriesChanged(user.text("U_:NAME"));
    show(syncEndMessages(outcome, SyncDirection::Receive));
}

} // namespace ql
