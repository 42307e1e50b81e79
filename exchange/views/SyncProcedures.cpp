#include "exchange/views/SyncProcedures.h"
#include "exchange/SyncMessages.h"
#include "exchange/SyncReceive.h"
#include "exchange/SyncSend.h"
#include "exchange/views/FilePasswordDialog.h"
#include "exchange/views/SyncProgressWindow.h"
#include "platform/recordstore/StoreError.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/FileTargets.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <QDir>
#include <QFile>

namespace ql {

namespace {
const QString kFilter = QStringLiteral("Synchronization Files|*.SYN");
const QString kNoPassword = QStringLiteral("Not Required");

Prompt notice(const QString& text) {
    return {QStringLiteral("File Password"), text, int(PromptButton::Ok), PromptButton::Ok,
            PromptIcon::Exclamation};
}
} // namespace

QString defaultSyncFilePath() { return QDir::home().filePath(kDefaultSyncFile); }

SyncProcedures::SyncProcedures(ProgramServices& services, FileDialogs& dialogs, QString& fileName)
    : services_(services), dialogs_(dialogs), fileName_(fileName) {
    selectUser = [this](Record& user, QWidget* parent) { return runSelectUsers(services_, user, parent); };
    askPassword = askFilePassword;
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

// The user's own password, or for a user without one the file's password.
std::optional<QString> SyncProcedures::filePassword(const Record& user, bool sending, QWidget* parent) {
    const QString own = user.text("U_:PASSWORD");
    if (own != kNoPassword) return own;
    const QString name = user.text("U_:NAME");
    if (sending) return newFilePassword(name, parent);
    for (;;) {
        std::optional<QString> typed = askPassword(
            name + QStringLiteral(" has no password.  Type the password of the synchronization file:"), parent);
        if (!typed || sealsSyncFiles(*typed)) return typed;
        services_.prompter().ask(syncFilePasswordMissing());
    }
}

// Asked twice; a blank one, "Not Required" or two that differ are refused.
std::optional<QString> SyncProcedures::newFilePassword(const QString& userName, QWidget* parent) {
    for (;;) {
        std::optional<QString> first = askPassword(
            userName + QStringLiteral(" has no password.  Give the synchronization file a password of "
                                      "its own (the receiving side types it again):"), parent);
        if (!first) return std::nullopt;
        if (!sealsSyncFiles(*first)) {
            services_.prompter().ask(syncFilePasswordMissing());
            continue;
        }
        std::optional<QString> second = askPassword(QStringLiteral("Type the file's password again:"), parent);
        if (!second) return std::nullopt;
        if (*second == *first) return first;
        services_.prompter().ask(notice(QStringLiteral("The two passwords differ.  Type them again.")));
    }
}

void SyncProcedures::show(const std::vector<Prompt>& messages) {
    for (const Prompt& prompt : messages) services_.prompter().ask(prompt);
}

void SyncProcedures::syncSend(QWidget* parent) {
    Record user(usersTable());
    if (!chooseFile(true, parent) || !chooseUser(user, parent)) return;
    if (refuseDataFolderFile(fileName_, services_.prompter())) return;
    const std::optional<QString> password = filePassword(user, true, parent);
    if (!password) return;
    DataTable passwords(passwordsTable());
    if (services_.managers().passwords.open(passwords) != store_error::NoError) return;
    passwords.send(QStringLiteral("QUICKSCAN=on"));
    SyncFileWriter writer(fileName_, limits);
    SyncSend run(passwords, user, *password, writer);
    SyncProgressWindow progress(run, QStringLiteral("Sending"), QStringLiteral("SyncSend"),
                                services_.positions(), parent);
    progress.runModal();
    show(syncEndMessages(run.outcome(), SyncDirection::Send));
}

void SyncProcedures::syncReceive(QWidget* parent) {
    Record user(usersTable());
    if (!chooseFile(false, parent) || !chooseUser(user, parent)) return;
    const std::optional<QString> password = filePassword(user, false, parent);
    if (!password) return;
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
    SyncReceive run(passwords, user, *password, reader, fileName_);
    SyncProgressWindow progress(run, QString(), QStringLiteral("SyncReceive"), services_.positions(), parent);
    progress.runModal();
    const SyncOutcome& outcome = run.outcome();
    if (outcome.end == SyncEnd::Completed && outcome.watchedChanged && watchedEntriesChanged)
        watchedEntriesChanged(user.text("U_:NAME"));
    show(syncEndMessages(outcome, SyncDirection::Receive));
}

} // namespace ql
