#include "framework/MacroText.h"

namespace ql {

void replaceMacro(QString& buffer, const QString& macro, const QString& value, qsizetype limit,
                  const QString& unlessFollowedBy) {
    if (macro.isEmpty()) return;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = buffer.indexOf(macro, from, Qt::CaseSensitive);
        if (at < 0) break;
        const qsizetype end = at + macro.size();
        if (!unlessFollowedBy.isEmpty() &&
            QStringView(buffer).mid(end).startsWith(unlessFollowedBy)) {
            from = end;
            continue;
        }
        buffer.replace(at, macro.size(), value);
        from = at + value.size();
        if (buffer.size() > limit) buffer.truncate(limit);
        if (from >= buffer.size()) break;
    }
}

} // namespace ql
