#include "platform/recordstore/FileSafety.h"
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

bool isSymbolicLink(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool tableFileIsLinked(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (isSymbolicLink(path + QLatin1String(suffix)))
            return true;
    return false;
}

bool createDataFileNoFollow(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != EEXIST)
        return false;
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace ql
