#include "platform/core/PrivateFile.h"

#include <QSaveFile>

namespace ql::private_file {

namespace {

QString abandon(QSaveFile& file) {
    const QString error = file.errorString();
    file.cancelWriting();
    file.commit(); // after cancelWriting this only removes the temporary file
    return error.isEmpty() ? QStringLiteral("The file could not be written.") : error;
}

} // namespace

QString open(QSaveFile& file) {
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return abandon(file);
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

QString write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (QString error = open(file); !error.isEmpty()) return error;
    if (file.write(bytes) != bytes.size()) return abandon(file);
    return commit(file);
}

} // namespace ql::private_file
