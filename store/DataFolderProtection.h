#pragma once
#include "platform/datakey/FolderSwitch.h"
#include "platform/secure/PassphraseKdf.h"
#include <QString>
#include <QStringList>

namespace ql {

// The data files kept under the program's own keys (the Owner and Words
// tables, and the version 2.1 tables still in the folder), by their names in
// the data folder. The sync file is none of them.
QStringList keyedDataFileNames();

// The optional passphrase of a data folder. Without it the tables stay under
// the keys built into the program; with it they are under a random data key
// sealed in the folder's key file. Turning it on or off re-encrypts every
// keyed data file, so no table of the folder may be open meanwhile, in this
// process or another; changing it only seals the data key anew.
class DataFolderProtection {
public:
    explicit DataFolderProtection(QString folder);

    bool isProtected() const;

    enum class Unlock { NotProtected, Opened, WrongPassphrase, BadKeyFile };
    // Opens the key file's seal with the passphrase and puts the data key in
    // use; a wrong passphrase fails the seal's check and changes nothing.
    Unlock unlock(const QString& passphrase);
    bool passphraseOpens(const QString& passphrase);

    // True when the folder holds no table of ours yet and no key file.
    bool isNew() const;
    // Protects a new folder at once, with nothing to re-encrypt: a new data
    // key, sealed in the key file, is put in use for the tables to come.
    bool protectNew(const QString& passphrase, QString& error);

    bool turnOn(const QString& passphrase, QString& error, const SwitchProbe& probe = {});
    bool turnOff(const QString& current, QString& error, const SwitchProbe& probe = {});
    bool changePassphrase(const QString& current, const QString& next, QString& error);

    // The derivation cost of new key files (lowered by tests).
    KdfLimits limits;

private:
    QString keyFilePath() const;
    std::vector<RekeyFile> rekeyFiles(const SecretBytes& from, const SecretBytes& to) const;

    QString folder_;
};

} // namespace ql
