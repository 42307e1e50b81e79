#include "platform/recordstore/StructureRegistry.h"
#include "platform/recordstore/DataTable.h"
#include <QHash>
#include <QMutex>

namespace ql {

namespace {
QMutex registryMutex;
QHash<QString, int>& registry() {
    static QHash<QString, int> versions;
    return versions;
}
} // namespace

void registerStructure(const QString& prefix, const QString& label, int version) {
    Q_UNUSED(label); // kept for the callers' registration lists; the prefix identifies the table
    QMutexLocker lock(&registryMutex);
    registry().insert(prefix.toUpper(), version);
}

int registeredStructureVersion(const QString& prefix) {
    QMutexLocker lock(&registryMutex);
    return registry().value(prefix.toUpper(), -1);
}

} // namespace ql
