#pragma once
#include <QString>
#include <compare>
#include <optional>
#include <sys/types.h>

namespace ql {

// A file as it is now: which file (device, inode) and in which state (size,
// modification time, and the change time the kernel sets on every write,
// rename or change of times, which no program can set back).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modified = 0, modifiedNs = 0;
    long long changed = 0, changedNs = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// Of a plain file; none for a missing file or anything else.
std::optional<FileIdentity> identityOf(const QString& path);

// True when the file system holding `path` keeps change times itself (the
// local Linux file systems). On others (FAT, network and user-space file
// systems) whoever writes the medium elsewhere can give a changed file its
// old identity back, so it proves nothing beyond the run.
bool keepsChangeTimes(const QString& path);

} // namespace ql
