#include "platform/recordstore/FileIdentity.h"
#include <QFile>
#include <algorithm>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace ql {

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{st.st_dev,          st.st_ino,          st.st_size,         st.st_mtim.tv_sec,
                        st.st_mtim.tv_nsec, st.st_ctim.tv_sec,  st.st_ctim.tv_nsec};
}

bool keepsChangeTimes(const QString& path) {
    // The kinds (statfs f_type) of local file systems that stamp every change.
    static constexpr unsigned long kLocal[] = {
        0xEF53,     // ext2, ext3, ext4
        0x58465342, // xfs
        0x9123683E, // btrfs
        0xF2F52010, // f2fs
        0x01021994, // tmpfs
        0x794C7630, // overlay (containers)
        0x2FC12FC1, // zfs
        0xCA451A4E, // bcachefs
    };
    struct statfs fs {};
    if (statfs(QFile::encodeName(path).constData(), &fs) != 0)
        return false;
    return std::find(std::begin(kLocal), std::end(kLocal), static_cast<unsigned long>(fs.f_type)) !=
           std::end(kLocal);
}

} // namespace ql
