#include "store/DataFolderProtection.h"
#include "platform/datakey/DataKeySeal.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/secure/Wipe.h"
#include "store/Layouts.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace ql {

namespace {

// The passphrase as UTF-8 bytes, wiped when they go.
class PassphraseBytes {
public:
    explicit PassphraseBytes(const QString& text) : bytes_(text.toUtf8()) {}
    ~PassphraseBytes() { wipeBytes(bytes_); }
    PassphraseBytes(const PassphraseBytes&) = delete;
    PassphraseBytes& operator=(const PassphraseBytes&) = delete;
    QByteArrayView view() const { return bytes_; }

private:
    QByteArray bytes_;
};

// The data key the passphrase unseals from the key file, if it does.
std::optional<SecretBytes> unsealed(const QString& path, const QString& passphrase) {
    QString error;
    const std::optional<KeyFile> file = readKeyFile(path, error);
    if (!file) return std::nullopt;
    const PassphraseBytes bytes(passphrase);
    return openDataKey(*file, passphraseKey(bytes.view(), *file));
}

// Every encrypted table of the folder, the old version's included, by the
// file that holds it, each file once.
std::vector<std::pair<QString, OwnerKeyKind>> keyedFiles() {
    std::vector<std::pair<QString, OwnerKeyKind>> files;
    for (const TableDef* def : folderTables()) {
        if (def->owner == OwnerKeyKind::None) continue;
        const QString name = QFileInfo(locateTable(def->storedAs).filePath).fileName();
        const bool listed = std::any_of(files.begin(), files.end(), [&](const auto& f) { return f.first == name; });
        if (!listed) files.emplace_back(name, def->owner);
    }
    return files;
}

} // namespace

QStringList keyedDataFileNames() {
    QStringList names;
    for (const auto& file : keyedFiles()) names << file.first;
    return names;
}

DataFolderProtection::DataFolderProtection(QString folder)
    : limits(kKeyFileLimits), folder_(std::move(folder)) {}

QString DataFolderProtection::keyFilePath() const { return QDir(folder_).filePath(kKeyFileName); }

bool DataFolderProtection::isProtected() const { return QFile::exists(keyFilePath()); }

DataFolderProtection::Unlock DataFolderProtection::unlock(const QString& passphrase) {
    if (!isProtected()) return Unlock::NotProtected;
    QString error;
    if (!readKeyFile(keyFilePath(), error)) return Unlock::BadKeyFile;
    const std::optional<SecretBytes> dataKey = unsealed(keyFilePath(), passphrase);
    if (!dataKey) return Unlock::WrongPassphrase;
    useDataKey(*dataKey);
    return Unlock::Opened;
}

bool DataFolderProtection::passphraseOpens(const QString& passphrase) {
    return unsealed(keyFilePath(), passphrase).has_value();
}

std::vector<RekeyFile> DataFolderProtection::rekeyFiles(const SecretBytes& from, const SecretBytes& to) const {
    std::vector<RekeyFile> files;
    for (const auto& [name, owner] : keyedFiles()) {
        const SecretBytes builtIn = builtInTableKey(owner);
        files.push_back({name, from.isEmpty() ? builtIn.copy() : rawKeyText(from),
                         to.isEmpty() ? builtIn.copy() : rawKeyText(to)});
    }
    return files;
}

bool DataFolderProtection::isNew() const {
    if (isProtected()) return false;
    const QStringList names = keyedDataFileNames();
    return std::none_of(names.begin(), names.end(),
                        [this](const QString& name) { return QFile::exists(QDir(folder_).filePath(name)); });
}

bool DataFolderProtection::protectNew(const QString& passphrase, QString& error) {
    if (!isNew()) {
        error = QStringLiteral("The data folder holds tables already");
        return false;
    }
    const SecretBytes dataKey = newDataKey();
    const PassphraseBytes bytes(passphrase);
    const std::optional<KeyFile> file = sealDataKey(dataKey, bytes.view(), limits);
    if (!file) {
        error = QStringLiteral("Not enough memory to derive the key");
        return false;
    }
    if (!writeKeyFile(keyFilePath(), *file, error)) return false;
    useDataKey(dataKey);
    return true;
}

bool DataFolderProtection::turnOn(const QString& passphrase, QString& error, const SwitchProbe& probe) {
    if (isProtected()) {
        error = QStringLiteral("The data folder is protected already");
        return false;
    }
    const SecretBytes dataKey = newDataKey();
    const PassphraseBytes bytes(passphrase);
    const std::optional<KeyFile> file = sealDataKey(dataKey, bytes.view(), limits);
    if (!file) {
        error = QStringLiteral("Not enough memory to derive the key");
        return false;
    }
    return FolderSwitch(folder_, keyedDataFileNames()).run(rekeyFiles({}, dataKey), file, error, probe);
}

bool DataFolderProtection::turnOff(const QString& current, QString& error, const SwitchProbe& probe) {
    const std::optional<SecretBytes> dataKey = unsealed(keyFilePath(), current);
    if (!dataKey) {
        error = QStringLiteral("The passphrase is not correct");
        return false;
    }
    return FolderSwitch(folder_, keyedDataFileNames()).run(rekeyFiles(*dataKey, {}), std::nullopt, error, probe);
}

bool DataFolderProtection::changePassphrase(const QString& current, const QString& next, QString& error) {
    const std::optional<SecretBytes> dataKey = unsealed(keyFilePath(), current);
    if (!dataKey) {
        error = QStringLiteral("The passphrase is not correct");
        return false;
    }
    const PassphraseBytes bytes(next);
    const std::optional<KeyFile> file = sealDataKey(*dataKey, bytes.view(), limits);
    if (!file) {
        error = QStringLiteral("Not enough memory to derive the key");
        return false;
    }
    return writeKeyFile(keyFilePath(), *file, error);
}

} // namespace ql
