#include "exchange/LiveDataFiles.h"
#include "platform/recordstore/SqlSchema.h"
#include "store/Layouts.h"
#include <QFileInfo>

namespace ql {

namespace {
QString resolved(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

bool isLiveDataFile(const QString& path) {
    const QString target = resolved(path);
    for (const TableDef* table : folderTables()) {
        const QString file = locateTable(table->storedAs).filePath;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            if (resolved(file + QLatin1String(suffix)) == target) return true;
    }
    return false;
}

} // namespace ql
