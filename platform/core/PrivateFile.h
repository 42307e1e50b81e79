#pragma once
#include <QByteArray>
#include <QString>

class QSaveFile;

namespace ql::private_file {

// How a file must be kept from other users.
enum class Privacy {
    Required,   // readable by the user alone, or not written at all
    BestEffort  // made private where the file system can (FAT, the usual USB stick, cannot)
};

// Writes `bytes` to `path` through a temporary file in the same folder that
// replaces the target only once it is complete and on disk, readable by the
// user alone, never through a symbolic link. A failure leaves an earlier file
// as it was and no temporary file behind. Empty on success, else the system's
// text.
QString write(const QString& path, const QByteArray& bytes, Privacy privacy = Privacy::Required);

// True when `path` itself is a symbolic link (dangling or not).
bool isSymbolicLink(const QString& path);

// Opens `file` for writing, readable by the user alone (as far as the file
// system allows, with BestEffort); refuses a symbolic link in the target's
// place. Empty on success.
QString open(QSaveFile& file, Privacy privacy = Privacy::Required);

// Replaces the target with what was written to `file`. QSaveFile::commit()
// alone misses a buffered write that fails when it is flushed (a full disk, a
// file size limit) and would put a cut-off file in place of the old one, so
// the buffer is flushed and checked first. Empty on success.
QString commit(QSaveFile& file);

// Whether a file written at `path` can be made readable by the user alone:
// false on a file system without owners and modes (FAT), where anyone who
// holds the medium reads the file. Tries a temporary file beside the target;
// a folder where nothing can be created answers true (writing fails anyway).
bool canBePrivate(const QString& path);

// Tests stand in a file system that cannot change a file's mode.
void simulateModelessFileSystem(bool on);

} // namespace ql::private_file
