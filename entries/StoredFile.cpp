#include "entries/StoredFile.h"

#include "platform/core/PrivateFile.h"
#include <QFile>

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
    return private_file::write(path, bytes, private_file::Privacy::BestEffort);
}

} // namespace ql::stored_file
