#include "signin/views/DataFolderPassphrase.h"
#include "platform/core/Prompter.h"
#include "platform/datakey/FolderLock.h"
#include "platform/secure/Wipe.h"
#include "signin/views/PassphraseWindow.h"
#include "store/DataFolderProtection.h"
#include <QDir>
#include <optional>

namespace ql {

namespace {

const QString kTitle = QStringLiteral("Quillock");

std::optional<PassphraseRequest>& pending() {
    static std::optional<PassphraseRequest> request;
    return request;
}

void tell(Prompter& prompter, const QString& text, PromptIcon icon = PromptIcon::Information) {
    prompter.ask({kTitle, text, int(PromptButton::Ok), PromptButton::Ok, icon});
}

// Another program with the tables open would keep writing to the old files.
// The switch itself refuses then too: this is to say so before anything is typed.
bool otherProgramRuns(Prompter& prompter, const FolderLock* lock) {
    QString text;
    if (!lock || !lock->held())
        text = QStringLiteral("The data folder cannot be locked, so its tables cannot be re-encrypted.");
    else if (lock->othersHold())
        text = QStringLiteral("Quillock Monitor or a second Quillock has the data folder open. Close it "
                              "first: the tables cannot be re-encrypted while another program has them open.");
    if (!text.isEmpty()) tell(prompter, text, PromptIcon::Exclamation);
    return !text.isEmpty();
}

void wipe(PassphraseRequest& request) {
    wipeText(request.current);
    wipeText(request.next);
    wipeText(request.confirm);
}

bool agreeToClose(Prompter& prompter) {
    return prompter.ask({kTitle,
                         QStringLiteral("Quillock will now close and re-encrypt every table of the "
                                        "data folder. Start it again afterwards."),
                         int(PromptButton::Ok) | int(PromptButton::Cancel), PromptButton::Ok,
                         PromptIcon::Question}) == PromptButton::Ok;
}

} // namespace

bool askDataFolderPassphrase(Prompter& prompter, QWidget* parent, const FolderLock* lock) {
    if (otherProgramRuns(prompter, lock)) return false;
    DataFolderProtection protection(QDir::currentPath());
    PassphraseWindow window(protection.isProtected(), prompter, parent);
    if (window.exec() != QDialog::Accepted) return false;
    PassphraseRequest request = window.takeRequest();
    using Action = PassphraseRequest::Action;
    if (request.action != Action::TurnOn && !protection.passphraseOpens(request.current)) {
        wipe(request);
        tell(prompter, QStringLiteral("The passphrase is not correct."), PromptIcon::Exclamation);
        return false;
    }
    if (request.action == Action::Change) {
        QString error;
        const bool changed = protection.changePassphrase(request.current, request.next, error);
        wipe(request);
        tell(prompter, changed ? QStringLiteral("The passphrase has been changed.")
                               : QStringLiteral("The passphrase could not be changed: ") + error,
             changed ? PromptIcon::Information : PromptIcon::Exclamation);
        return false;
    }
    if (!agreeToClose(prompter)) {
        wipe(request);
        return false;
    }
    pending() = std::move(request);
    return true;
}

int finishDataFolderSwitch(Prompter& prompter, int exitCode) {
    if (!pending()) return exitCode;
    PassphraseRequest request = std::move(*pending());
    pending().reset();
    DataFolderProtection protection(QDir::currentPath());
    const bool on = request.action == PassphraseRequest::Action::TurnOn;
    QString error;
    const bool done = on ? protection.turnOn(request.next, error) : protection.turnOff(request.current, error);
    wipe(request);
    if (!done)
        tell(prompter, QStringLiteral("The data folder could not be re-encrypted and is as it was: ") + error,
             PromptIcon::Exclamation);
    else
        tell(prompter, on ? QStringLiteral("The data folder is now protected by the passphrase.")
                          : QStringLiteral("The data folder is no longer protected by a passphrase."));
    return exitCode;
}

} // namespace ql
