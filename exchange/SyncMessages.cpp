#include "exchange/SyncMessages.h"
#include "store/FileTargets.h"

namespace ql {

namespace {

Prompt box(const QString& title, const QString& text, PromptIcon icon = PromptIcon::Exclamation) {
    return {title, text, int(PromptButton::Ok), PromptButton::Ok, icon};
}

Prompt diskError(const SyncOutcome& o, const char* what) {
    return box(QStringLiteral("ERROR"),
               o.file + u'\n' + o.errorText + u'\n' + QLatin1String(what));
}

Prompt receiveSummary(int added, int updated) {
    return box(QStringLiteral("Done"),
               QStringLiteral("Records added:  %1\n\nRecords updated:  %2").arg(added).arg(updated),
               PromptIcon::Information);
}

std::vector<Prompt> failure(const SyncOutcome& o) {
    switch (o.end) {
    case SyncEnd::PasswordMismatch: return {syncPasswordMismatch()};
    case SyncEnd::AddFailed: return {diskError(o, "Disk error adding password record.")};
    case SyncEnd::UpdateFailed: return {diskError(o, "Disk error updating password record.")};
    case SyncEnd::BadFile:
        return {box(QStringLiteral("Invalid Synchronization File"),
                    o.file + QStringLiteral("\nis not a complete synchronization file, or it is damaged.  "
                                            "Nothing was received."))};
    case SyncEnd::CannotOpen:
        return {box(QStringLiteral("File Access Error"),
                    QStringLiteral("File (") + o.file + QStringLiteral(") could not be opened.  Error: ") +
                        o.errorText + u'.')};
    case SyncEnd::ReadFailed:
        return {box(QStringLiteral("Record Retrieval Error"),
                    QStringLiteral("Error: (") + o.errorText +
                        QStringLiteral(") attempting to access a record from the Passwords file.  "
                                       "Returning to previous window."))};
    case SyncEnd::NoMemory:
        return {box(QStringLiteral("ERROR"),
                    QStringLiteral("Not enough memory to open the synchronization file."))};
    case SyncEnd::RefusedTarget: return {dataFolderFileRefused(o.file)};
    case SyncEnd::NoFilePassword: return {syncFilePasswordMissing()};
    case SyncEnd::Completed:
    case SyncEnd::Cancelled: break;
    }
    return {};
}

} // namespace

Prompt syncPasswordMismatch() {
    return box(QStringLiteral("Password mismatch"),
               QStringLiteral("The user receiving the synchronization file must have the same password "
                              "as the user that created the file."));
}

Prompt syncFilePasswordMissing() {
    return box(QStringLiteral("File Password Required"),
               QStringLiteral("A synchronization file is always sealed with a password.  A user without "
                              "a password gives the file a password of its own when sending, and types "
                              "it again when receiving."));
}

Prompt syncParametersIncorrect() {
    return box(QStringLiteral("Synchonization cancelled"),
               QStringLiteral("Synchonization parameters incorrect.  Check command line."));
}

std::vector<Prompt> syncEndMessages(const SyncOutcome& o, SyncDirection direction) {
    std::vector<Prompt> shown = failure(o);
    if (direction == SyncDirection::Send) {
        if (o.end == SyncEnd::Completed && o.added > 0)
            shown.push_back(box(QStringLiteral("Done"),
                                QStringLiteral("Records added to the synchonization file:  %1").arg(o.added),
                                PromptIcon::Information));
    } else if (o.added > 0 || o.updated > 0 || o.undone > 0) {
        shown.push_back(receiveSummary(o.added, o.updated));
    }
    return shown;
}

QString syncSummaryLine(const SyncOutcome& o, SyncDirection direction) {
    if (direction == SyncDirection::Send)
        return QStringLiteral("Records added to the synchonization file:  %1").arg(o.added);
    return QStringLiteral("Records added:  %1  Records updated:  %2").arg(o.added).arg(o.updated);
}

QString promptLine(const Prompt& prompt) {
    QString text = prompt.text;
    text.replace(u'\n', u' ');
    return prompt.title + QStringLiteral(": ") + text;
}

} // namespace ql
