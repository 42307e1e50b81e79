#include "platform/datakey/RunningPrograms.h"
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace ql {

bool programRunsIn(const QString& programName, const QString& folder) {
    const QString wanted = QFileInfo(folder).canonicalFilePath();
    const QString self = QString::number(::getpid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || pid.toLongLong() <= 0) continue;
        // Other users' processes do not let us read their links: they are passed over.
        const QFileInfo exe(proc.filePath(pid + QStringLiteral("/exe")));
        const QString program = QFileInfo(exe.symLinkTarget()).fileName();
        if (program != programName && program != programName + QStringLiteral(" (deleted)")) continue;
        if (QFileInfo(proc.filePath(pid + QStringLiteral("/cwd"))).canonicalFilePath() == wanted)
            return true;
    }
    return false;
}

} // namespace ql
