#pragma once
#include <QString>

namespace ql {

// Replaces every occurrence of `macro` in `buffer` with `value`, searching from
// the start of the buffer. The search goes on after each inserted value, so a
// value that contains the macro itself (a file named "%File") is not expanded
// again. An occurrence directly followed by `unlessFollowedBy` (when given) is
// part of a longer macro and stays. The buffer is cut at `limit` characters
// after every replacement.
void replaceMacro(QString& buffer, const QString& macro, const QString& value, qsizetype limit,
                  const QString& unlessFollowedBy = {});

} // namespace ql
