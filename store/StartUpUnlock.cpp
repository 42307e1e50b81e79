#include "store/StartUpUnlock.h"
#include "platform/core/Prompter.h"
#include "platform/datakey/FolderLock.h"
#include "platform/secure/Wipe.h"
#include "store/DataFolderProtection.h"
#include <QDir>
#include <iostream>
#include <string>

namespace ql {

namespace {

PassphraseSource& windowSource() {
    static PassphraseSource source;
    return source;
}

QString readStandardInput() {
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    QString text = QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
    std::fill(line.begin(), line.end(), '\0');
    return text;
}

std::function<QString()>& inputSource() {
    static std::function<QString()> read = readStandardInput;
    return read;
}

// Standard input gives one line, and no second chance.
PassphraseSource sourceFor(const QStringList& arguments) {
    if (!passphraseFromInput(arguments)) return windowSource();
    return [](bool retry) -> std::optional<QString> {
        if (retry) return std::nullopt;
        return inputSource()();
    };
}

NewFolderOffer& newFolderOffer() {
    static NewFolderOffer offer;
    return offer;
}

void tellNotProtected(Prompter& prompter, const QString& reason) {
    prompter.ask({QStringLiteral("Quillock"),
                  QStringLiteral("The data folder could not be protected: ") + reason,
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
}

} // namespace

void setNewFolderOffer(NewFolderOffer offer) { newFolderOffer() = std::move(offer); }

void offerNewFolderPassphrase(FolderLock& lock, Prompter& prompter) {
    DataFolderProtection protection(QDir::currentPath());
    if (!newFolderOffer() || !protection.isNew()) return;
    std::optional<QString> passphrase = newFolderOffer()();
    if (!passphrase) return;
    QString error;
    if (!lock.takeAlone())
        error = QStringLiteral("another program has it open");
    else if (protection.protectNew(*passphrase, error))
        error.clear();
    wipeText(*passphrase);
    lock.share();
    if (!error.isEmpty()) tellNotProtected(prompter, error);
}

void setPassphraseWindow(PassphraseSource source) { windowSource() = std::move(source); }

void setPassphraseInput(std::function<QString()> readLine) { inputSource() = std::move(readLine); }

bool passphraseFromInput(const QStringList& arguments) {
    for (QString a : arguments.mid(1)) {
        if (a.startsWith(u'/') || a.startsWith(u'-')) a.remove(0, 1);
        if (a.compare(QLatin1String("passphrase=-"), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

void unlockDataFolder(const QStringList& arguments, const Halt& halt) {
    if (!FolderSwitch(QDir::currentPath(), keyedDataFileNames()).recover())
        return halt(QStringLiteral("Key File Damaged"));
    DataFolderProtection protection(QDir::currentPath());
    if (!protection.isProtected()) return;
    const PassphraseSource source = sourceFor(arguments);
    for (bool retry = false;; retry = true) {
        std::optional<QString> passphrase = source ? source(retry) : std::nullopt;
        if (!passphrase)
            return halt(retry && passphraseFromInput(arguments) ? QStringLiteral("Wrong Passphrase")
                                                                : QStringLiteral("Unlock Cancelled"));
        const DataFolderProtection::Unlock result = protection.unlock(*passphrase);
        wipeText(*passphrase);
        if (result == DataFolderProtection::Unlock::BadKeyFile) return halt(QStringLiteral("Key File Damaged"));
        if (result != DataFolderProtection::Unlock::WrongPassphrase) return;
    }
}

} // namespace ql
