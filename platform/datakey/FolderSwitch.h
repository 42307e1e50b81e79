#pragma once
#include "platform/datakey/KeyFile.h"
#include "platform/secure/SecretBytes.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace ql {

// One data file of the folder and its raw keys before and after a switch.
struct RekeyFile {
    QString name;
    SecretBytes oldKey;
    SecretBytes newKey;
};

// The points a switch passes, in order. Files are counted from 0.
enum class SwitchStep { Copied, KeyFileStaged, Committed, Renamed, KeyFileSwitched, Finished };
// Asked after each step; false stops the switch there, as a crash would.
using SwitchProbe = std::function<bool(SwitchStep step, int file)>;

// Moves the data files of a folder from one key to another. Every file is
// first copied whole under its new key beside itself ("<name>.rekey"); the new
// key file is staged as "quillock.key.new". Writing the journal
// ("quillock.switch") is the point of no return: before it the old files are
// untouched and the copies are thrown away at the next start; after it the
// copies replace the files by renames, and the key file is put in place
// (turning on) or removed (turning off), finished at the next start if need
// be. No connection to the data files may be open meanwhile, in this process
// or another: the switch holds the folder's lock alone (see FolderLock), so it
// is refused while any other program, or a lock of this process, holds it.
// A second lock file keeps two recoveries at start apart.
class FolderSwitch {
public:
    FolderSwitch(QString folder, QStringList dataFileNames);

    // Turning on: `newKeyFile` holds the sealed data key; turning off: nothing.
    bool run(const std::vector<RekeyFile>& files, const std::optional<KeyFile>& newKeyFile,
             QString& error, const SwitchProbe& probe = {});
    // Finishes a switch that passed its journal, or undoes one that did not;
    // waits for a switch another process is making. Returns false when a
    // journal is there but cannot be followed.
    bool recover();

    QString path(const QString& name) const;

private:
    bool copyAll(const std::vector<RekeyFile>& files, QString& error, const SwitchProbe& probe);
    bool rollForward(bool turningOn, const SwitchProbe& probe);
    void rollBack();
    bool recoverLocked();

    QString folder_;
    QStringList names_;
};

} // namespace ql
