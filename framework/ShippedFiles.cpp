#include "framework/ShippedFiles.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ql {

QString shippedFilePath(const QString& programFolder, const QString& fileName) {
    const QDir programs(programFolder);
    const QString beside = programs.filePath(fileName);
    if (QFileInfo(beside).isFile()) return beside;
    const QString shared =
        QDir::cleanPath(programs.filePath(QStringLiteral(QL_SHARED_FROM_PROGRAMS "/") + fileName));
    return QFileInfo(shared).isFile() ? shared : beside;
}

QString shippedFilePath(const QString& fileName) {
    return shippedFilePath(QCoreApplication::applicationDirPath(), fileName);
}

} // namespace ql
