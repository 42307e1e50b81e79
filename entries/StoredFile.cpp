#include "entries/StoredFile.h"
#include <QFile>
#include <QSaveFile>

namespace ql::stored_file {

ReadResult read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    // One byte past the limit tells a file that is too large, whatever its
    // reported size (it may be growing, or a device).
    QByteArray bytes = file.read(kLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    if (bytes.size() > kLimit) {
        result.status = ReadResult::Status::TooLarge;
        return result;
    }
    result.status = ReadResult::Status::Read;
    result.bytes = std::move(bytes);
    return result;
}

QString write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return file.errorString();
    }
    // QSaveFile::commit() does not notice a buffered write that fails when it
    // is flushed, so the bytes are flushed and checked here first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}

} // namespace ql::stored_file
