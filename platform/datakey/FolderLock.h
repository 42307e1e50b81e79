#pragma once
#include <QString>

namespace ql {

// The lock file of a data folder: every program holds it shared for as long
// as it has the folder open, and a switch of the folder's keys holds it alone.
inline const QString kFolderLockFileName = QStringLiteral("quillock.lock");

// One hold on a data folder's lock file. The lock belongs to this object's
// own open file (not to the process), so two objects conflict even within one
// process, and it goes when the object does, or with the process, however it
// ends. A folder whose lock file cannot be opened (read-only media, a foreign
// file in its place) holds no lock: reading goes on, a switch is refused.
class FolderLock {
public:
    // `create`: makes the lock file when the folder has none yet.
    explicit FolderLock(const QString& folder, bool create = true);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Shares the folder with the other programs; waits while a switch holds
    // it alone. False when there is no lock file to hold.
    bool share();
    // Takes the folder alone, at once or not at all; a refusal leaves a
    // shared hold as it was.
    bool takeAlone();
    // True when another holder has the folder, shared or alone.
    bool othersHold() const;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool writable_ = false;
    bool held_ = false;
};

} // namespace ql
