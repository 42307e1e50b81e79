#pragma once
#include <QByteArray>
#include <QString>

namespace ql {

// The small file an entry carries inside its record.
namespace stored_file {

// Files up to this size are stored with an entry.
inline constexpr qint64 kLimit = 65536;

struct ReadResult {
    enum class Status { Read, Unreadable, TooLarge } status = Status::Unreadable;
    QByteArray bytes;
    QString error; // the system's text for Unreadable
};

// Reads a whole file for storing it with an entry.
ReadResult read(const QString& path);

// Writes `bytes` to `path` through a temporary file in the same folder that
// replaces the target only once it is complete, readable by the user alone
// where the file system allows it (the caller asked before writing to a drive
// that cannot). Empty on success, else the system's text.
QString write(const QString& path, const QByteArray& bytes);

} // namespace stored_file
} // namespace ql
