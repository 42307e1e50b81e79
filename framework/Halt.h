#pragma once
#include <QString>
#include <functional>

namespace ql {

// Ends the program after a fatal message; the argument is the halt text (the
// message's title). The process's halt never returns to its caller; tests put
// in their own to observe it.
using Halt = std::function<void(const QString& haltText)>;

// The process's halt: writes the halt text to standard error and exits with
// status 1. Halt texts are fixed titles and never carry user data.
[[noreturn]] void haltProcess(const QString& haltText);

} // namespace ql
