#include "store/FileTargets.h"
#include "platform/core/PrivateFile.h"
#include "platform/recordstore/SqlSchema.h"
#include "store/Layouts.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace ql {

namespace {

// Files of the folder beside the tables. Add a new one here and every writer
// refuses it.
const char* const kOwnNames[] = {
    "POSITION.INI",    "QLMON.INI",                            // window positions
    "quillock.key",    "quillock.key.new",                     // the data key, staged copy
    "quillock.switch", "quillock.switch.lock", "quillock.lock" // passphrase switch, folder lock
};
// A table's journals, and its copy while a passphrase switch re-encrypts it.
const char* const kTableSuffixes[] = {"", "-wal", "-shm", "-journal", ".rekey"};

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

QStringList dataFolderFiles() {
    QStringList files;
    for (const TableDef* table : folderTables()) {
        const QString file = QDir::current().absoluteFilePath(locateTable(table->storedAs).filePath);
        for (const char* suffix : kTableSuffixes) files << file + QLatin1String(suffix);
    }
    for (const char* own : kOwnNames) files << QDir::current().absoluteFilePath(QLatin1String(own));
    files.removeDuplicates();
    return files;
}

bool isDataFolderFile(const QString& path) {
    const QString target = resolved(path);
    for (const QString& own : dataFolderFiles())
        if (resolved(own) == target || sameInode(own, target)) return true;
    return false;
}

Prompt dataFolderFileRefused(const QString& path) {
    return {QStringLiteral("File Refused"),
            path + QStringLiteral("\nholds the program's own data and is never written over.  "
                                  "Choose another file."),
            int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Stop};
}

bool refuseDataFolderFile(const QString& path, Prompter& prompter) {
    if (!isDataFolderFile(path)) return false;
    prompter.ask(dataFolderFileRefused(path));
    return true;
}

bool acceptReadableByOthers(const QString& path, Prompter& prompter) {
    if (private_file::canBePrivate(path)) return true;
    return prompter.ask({QStringLiteral("File Readable by Others"),
                         path + QStringLiteral("\nis on a drive that cannot keep files private (such as a "
                                               "USB stick): this file holds passwords in clear, and "
                                               "anyone holding the drive can read it.  Write it anyway?"),
                         int(PromptButton::Yes) | int(PromptButton::No), PromptButton::No,
                         PromptIcon::Warning}) == PromptButton::Yes;
}

} // namespace ql
