#include "exchange/SyncTarget.h"
#include "platform/recordstore/SqlSchema.h"
#include "store/Layouts.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>

namespace ql {

namespace {

QStringList ownFiles() {
    QStringList files;
    std::vector<const TableDef*> tables = currentTables();
    tables.push_back(&oldUsersTable());
    tables.push_back(&oldPasswordsTable());
    for (const TableDef* table : tables) {
        if (table == &syncFileTable()) continue;
        const QString file = locateTable(table->storedAs).filePath;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            files << file + QLatin1String(suffix);
    }
    // Losing the key file of a protected folder would lose every table with it.
    for (const char* own : {"POSITION.INI", "QLMON.INI", "quillock.key", "quillock.key.new", "quillock.switch"})
        files << QDir::current().absoluteFilePath(QLatin1String(own));
    return files;
}

// The path with its folder's links resolved, whether or not the file exists.
QString resolved(const QString& path) {
    const QFileInfo info(QDir::current().absoluteFilePath(path));
    if (info.exists()) return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

bool sameInode(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

bool isDataFolderFile(const QString& path) {
    const QString target = resolved(path);
    for (const QString& own : ownFiles())
        if (resolved(own) == target || sameInode(own, target)) return true;
    return false;
}

} // namespace ql
