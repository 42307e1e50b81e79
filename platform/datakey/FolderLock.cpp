#include "platform/datakey/FolderLock.h"
#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Never through a link, never a FIFO's wait, never left to a started program.
int openLockFile(const QByteArray& path, int access) {
    return ::open(path.constData(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
}

bool regularFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Locks of the open file itself over the whole file: they conflict between
// two opens in one process, and a change from shared to alone either happens
// whole or leaves the shared lock in place.
struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

bool setLock(int fd, short type, bool wait) {
    struct flock lock = wholeFile(type);
    int rc;
    do rc = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

FolderLock::FolderLock(const QString& folder, bool create) {
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(kFolderLockFileName));
    fd_ = openLockFile(path, O_RDWR | (create ? O_CREAT : 0));
    writable_ = fd_ >= 0;
    if (fd_ < 0) fd_ = openLockFile(path, O_RDONLY);
    if (fd_ >= 0 && !regularFile(fd_)) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::share() {
    if (fd_ < 0) return false;
    held_ = setLock(fd_, F_RDLCK, true);
    return held_;
}

bool FolderLock::takeAlone() {
    if (fd_ < 0 || !writable_ || !setLock(fd_, F_WRLCK, false)) return false;
    held_ = true;
    return true;
}

bool FolderLock::othersHold() const {
    if (fd_ < 0) return false;
    // Whether this open could hold the folder alone: its own lock is no obstacle.
    struct flock probe = wholeFile(F_WRLCK);
    return ::fcntl(fd_, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

} // namespace ql
