#include "platform/core/PrivateFile.h"

#include <QFile>
#include <QSaveFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace ql::private_file {

namespace {

std::atomic<bool> modeless{false};

QString abandon(QSaveFile& file, QString error = {}) {
    if (error.isEmpty()) error = file.errorString();
    file.cancelWriting();
    file.commit(); // after cancelWriting this only removes the temporary file
    return error.isEmpty() ? QStringLiteral("The file could not be written.") : error;
}

// Makes the open file 0600; true when no one else can read it afterwards (a
// file system may accept the change and ignore it).
bool makePrivate(QSaveFile& file, QString& error) {
    const int fd = file.handle();
    if (modeless || ::fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        error = QString::fromLocal8Bit(std::strerror(modeless ? ENOSYS : errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = QStringLiteral("The file system keeps the file readable by others.");
        return false;
    }
    return true;
}

} // namespace

// QSaveFile writes to the target of a link; a planted link must not send a
// file elsewhere, so a link in the target's place is refused.
bool isSymbolicLink(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString open(QSaveFile& file, Privacy privacy) {
    if (isSymbolicLink(file.fileName()))
        return QStringLiteral("%1 is a symbolic link; a file is never written through one.")
            .arg(file.fileName());
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QString error;
    if (!makePrivate(file, error) && privacy == Privacy::Required) return abandon(file, error);
    return {};
}

QString commit(QSaveFile& file) {
    if (!file.flush()) return abandon(file);
    if (!file.commit()) {
        const QString error = file.errorString();
        return error.isEmpty() ? QStringLiteral("The file could not be written.") : error;
    }
    return {};
}

QString write(const QString& path, const QByteArray& bytes, Privacy privacy) {
    QSaveFile file(path);
    if (QString error = open(file, privacy); !error.isEmpty()) return error;
    if (file.write(bytes) != bytes.size()) return abandon(file);
    return commit(file);
}

bool canBePrivate(const QString& path) {
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) return true;
    QString error;
    const bool made = makePrivate(probe, error);
    probe.cancelWriting();
    probe.commit(); // drops the probe
    return made;
}

void simulateModelessFileSystem(bool on) { modeless = on; }

} // namespace ql::private_file
