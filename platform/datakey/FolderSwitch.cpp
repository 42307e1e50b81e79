#include "platform/datakey/FolderSwitch.h"
#include "platform/datakey/FolderLock.h"
#include "platform/recordstore/FileSafety.h"
#include "platform/recordstore/TableRekey.h"
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace ql {

namespace {

const QString kJournal = QStringLiteral("quillock.switch");
const QString kStagedKeyFile = QStringLiteral("quillock.key.new");
const QString kLock = QStringLiteral("quillock.switch.lock");
const QString kCopySuffix = QStringLiteral(".rekey");
const QByteArray kOn = "on\n";
const QByteArray kOff = "off\n";

const QString kOthersOpenTheFolder =
    QStringLiteral("Quillock Monitor or a second Quillock has the data folder open. Close it first: "
                   "the tables cannot be re-encrypted while another program has them open.");

bool step(const SwitchProbe& probe, SwitchStep s, int file = 0) { return !probe || probe(s, file); }

// Renames are made durable by syncing the folder that holds them.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool replaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool writeJournal(const QString& path, const QByteArray& text) {
    if (isSymbolicLink(path)) return false; // QSaveFile would write through it
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit();
}

} // namespace

FolderSwitch::FolderSwitch(QString folder, QStringList dataFileNames)
    : folder_(std::move(folder)), names_(std::move(dataFileNames)) {}

QString FolderSwitch::path(const QString& name) const { return QDir(folder_).filePath(name); }

bool FolderSwitch::copyAll(const std::vector<RekeyFile>& files, QString& error, const SwitchProbe& probe) {
    for (size_t i = 0; i < files.size(); ++i) {
        const QString from = path(files[i].name);
        if (QFile::exists(from) &&
            !exportUnderKey(from, files[i].oldKey, from + kCopySuffix, files[i].newKey, error))
            return false;
        if (!step(probe, SwitchStep::Copied, int(i))) return false;
    }
    return true;
}

bool FolderSwitch::run(const std::vector<RekeyFile>& files, const std::optional<KeyFile>& newKeyFile,
                       QString& error, const SwitchProbe& probe) {
    FolderLock alone(folder_);
    if (!alone.takeAlone()) {
        error = kOthersOpenTheFolder;
        return false;
    }
    QLockFile lock(path(kLock));
    if (!lock.lock()) {
        error = QStringLiteral("The data folder cannot be locked");
        return false;
    }
    if (!recoverLocked()) {
        error = QStringLiteral("An earlier switch of the data folder cannot be finished");
        return false;
    }
    bool ok = copyAll(files, error, probe);
    if (!ok) {
        if (error.isEmpty()) return false; // stopped as by a crash
        rollBack();
        return false;
    }
    if (newKeyFile) {
        if (!writeKeyFile(path(kStagedKeyFile), *newKeyFile, error)) {
            rollBack();
            return false;
        }
        if (!step(probe, SwitchStep::KeyFileStaged)) return false;
    }
    syncFolder(folder_);
    if (!writeJournal(path(kJournal), newKeyFile ? kOn : kOff)) {
        error = QStringLiteral("Cannot write ") + kJournal;
        rollBack();
        return false;
    }
    if (!step(probe, SwitchStep::Committed)) return false;
    return rollForward(bool(newKeyFile), probe);
}

bool FolderSwitch::rollForward(bool turningOn, const SwitchProbe& probe) {
    for (int i = 0; i < names_.size(); ++i) {
        const QString file = path(names_[i]);
        if (!QFile::exists(file + kCopySuffix)) continue;
        for (const char* companion : {"-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(companion));
        if (!replaceFile(file + kCopySuffix, file)) return false;
        if (!step(probe, SwitchStep::Renamed, i)) return false;
    }
    if (turningOn && QFile::exists(path(kStagedKeyFile)) &&
        !replaceFile(path(kStagedKeyFile), path(kKeyFileName)))
        return false;
    if (!turningOn && QFile::exists(path(kKeyFileName)) && !QFile::remove(path(kKeyFileName)))
        return false;
    syncFolder(folder_);
    if (!step(probe, SwitchStep::KeyFileSwitched)) return false;
    QFile::remove(path(kJournal));
    syncFolder(folder_);
    return step(probe, SwitchStep::Finished);
}

void FolderSwitch::rollBack() {
    for (const QString& name : std::as_const(names_))
        removeDataFile(path(name) + kCopySuffix);
    QFile::remove(path(kStagedKeyFile));
    syncFolder(folder_);
}

bool FolderSwitch::recover() {
    QLockFile lock(path(kLock));
    if (lock.lock()) return recoverLocked();
    // A folder we may not write to cannot be in the middle of a switch of ours.
    return lock.error() == QLockFile::PermissionError && !QFile::exists(path(kJournal));
}

bool FolderSwitch::recoverLocked() {
    QFile journal(path(kJournal));
    if (!journal.exists()) {
        rollBack();
        return true;
    }
    if (!journal.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = journal.read(16);
    journal.close();
    if (text != kOn && text != kOff) return false; // not ours: leave every file as it is
    return rollForward(text == kOn, {});
}

} // namespace ql
