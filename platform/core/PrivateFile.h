#pragma once
#include <QByteArray>
#include <QString>

class QSaveFile;

namespace ql::private_file {

// Writes `bytes` to `path` through a temporary file in the same folder that
// replaces the target only once it is complete and on disk, readable by the
// user alone. A failure leaves an earlier file as it was and no temporary
// file behind. Empty on success, else the system's text.
QString write(const QString& path, const QByteArray& bytes);

// Opens `file` for writing, readable by the user alone. Empty on success.
QString open(QSaveFile& file);

// Replaces the target with what was written to `file`. QSaveFile::commit()
// alone misses a buffered write that fails when it is flushed (a full disk, a
// file size limit) and would put a cut-off file in place of the old one, so
// the buffer is flushed and checked first. Empty on success.
QString commit(QSaveFile& file);

} // namespace ql::private_file
