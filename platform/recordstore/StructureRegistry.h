#pragma once
#include <QString>

namespace ql {

// The declared structure version of a registered table prefix, or -1 when
// the prefix was never registered (such tables are never converted).
int registeredStructureVersion(const QString& prefix);

} // namespace ql
