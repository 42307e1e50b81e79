#include "exchange/SyncCommandLineRun.h"
#include "exchange/SyncMessages.h"
#include "exchange/SyncReceive.h"
#include "exchange/SyncSend.h"
#include "platform/recordstore/StoreError.h"
#include "platform/secure/SecretLine.h"
#include "platform/secure/Wipe.h"
#include "store/FileTargets.h"
#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "store/StartUp.h"
#include <QFile>
#include <cstdio>

namespace ql {

namespace {

const QString kNoPassword = QStringLiteral("Not Required");

SyncOutcome failed(SyncEnd how, const QString& file, const QString& error = {}) {
    SyncOutcome o;
    o.end = how;
    o.file = file;
    o.errorText = error;
    return o;
}

SyncOutcome send(const SyncRequest& request, DataTable& passwords, const Record& user,
                 const QString& filePassword) {
    if (isDataFolderFile(request.file))
        return failed(SyncEnd::RefusedTarget, request.file);
    SyncFileWriter writer(request.file);
    SyncSend run(passwords, user, filePassword, writer);
    return runToEnd(run);
}

SyncOutcome receive(const SyncRequest& request, DataTable& passwords, const Record& user,
                    const QString& filePassword) {
    QFile file(request.file);
    if (!file.open(QIODevice::ReadOnly))
        return failed(SyncEnd::CannotOpen, request.file, file.errorString());
    SyncFileReader reader(file);
    SyncReceive run(passwords, user, filePassword, reader, request.file);
    return runToEnd(run);
}

int report(const SyncOutcome& outcome, SyncDirection direction, const CommandLineIo& io) {
    if (outcome.end == SyncEnd::Completed) {
        io.out(syncSummaryLine(outcome, direction));
        return kSyncSucceeded;
    }
    for (const Prompt& prompt : syncEndMessages(outcome, direction))
        io.err(promptLine(prompt));
    return kSyncFailed;
}

// Finds the named user; false (after saying why) when he is not there.
bool findUser(RecordManagers& managers, DataTable& users, const QString& name, const CommandLineIo& io) {
    if (managers.users.open(users) != store_error::NoError) {
        io.err(QStringLiteral("Synchonization cancelled: the users could not be read."));
        return false;
    }
    users.record().clear();
    users.record().setText("U_:NAME", name);
    if (users.fetch(users.def().keyIndex("U_:KEYNAME")) == store_error::NoError)
        return true;
    io.err(QStringLiteral("Synchonization cancelled: there is no user named ") + name + u'.');
    return false;
}

} // namespace

namespace {

// A password as given: "-" reads the next line of standard input.
QString given(const QString& value, const CommandLineIo& io) {
    return value == QLatin1String("-") ? io.readPassword() : value;
}

// The password that seals or opens the file: the user's own, or for a user
// without one the file's password from "FilePassword". Empty (after saying
// why) when there is none.
QString filePasswordFor(const SyncRequest& request, const Record& user, const CommandLineIo& io) {
    const QString own = user.text("U_:PASSWORD");
    if (own != kNoPassword) return own;
    QString file = request.filePassword.isEmpty() ? QString() : given(request.filePassword, io);
    if (sealsSyncFiles(file)) return file;
    wipeText(file);
    io.err(QStringLiteral("Synchonization cancelled: ") + request.user +
           QStringLiteral(" has no password, and a synchronization file is always sealed with one.  "
                          "Give the file's password with FilePassword= (FilePassword=- reads it from "
                          "standard input)."));
    return {};
}

int synchronize(const SyncRequest& request, RecordManagers& managers, const QString& password,
                const CommandLineIo& io) {
    DataTable users(usersTable());
    if (!findUser(managers, users, request.user, io))
        return kSyncFailed;
    if (!users.record().sameText(users.record().fieldIndex("U_:PASSWORD"), password, true)) {
        io.err(promptLine(syncPasswordMismatch()));
        return kSyncFailed;
    }
    QString filePassword = filePasswordFor(request, users.record(), io);
    if (filePassword.isEmpty())
        return kSyncFailed;
    DataTable passwords(passwordsTable());
    if (managers.passwords.open(passwords) != store_error::NoError) {
        wipeText(filePassword);
        io.err(QStringLiteral("Synchonization cancelled: the entries could not be opened."));
        return kSyncFailed;
    }
    const bool sending = request.direction == u'O';
    const SyncOutcome outcome = sending ? send(request, passwords, users.record(), filePassword)
                                        : receive(request, passwords, users.record(), filePassword);
    wipeText(filePassword);
    return report(outcome, sending ? SyncDirection::Send : SyncDirection::Receive, io);
}

} // namespace

int runCommandLineSync(const SyncRequest& request, RecordManagers& managers, Prompter& prompter,
                       const CommandLineIo& io) {
    if (!request.complete()) {
        const Prompt incorrect = syncParametersIncorrect();
        io.err(promptLine(incorrect));
        if (prompter.showsWindows()) prompter.ask(incorrect); // else it would be the same line again
        return kSyncParametersIncorrect;
    }
    QString password = given(request.password, io);
    const int code = synchronize(request, managers, password, io);
    wipeText(password);
    return code;
}

namespace {

void writeLine(FILE* stream, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

std::optional<int> commandLineSync(ProgramServices& services, const QStringList& arguments) {
    const std::optional<SyncRequest> request = syncRequest(arguments);
    if (!request) return std::nullopt;
    const CommandLineIo io{readSecretLine, [](const QString& line) { writeLine(stdout, line); },
                           [](const QString& line) { writeLine(stderr, line); }};
    return runCommandLineSync(*request, services.managers(), services.prompter(), io);
}

} // namespace ql
