#pragma once
#include <functional>

namespace ql {

// Sets the core size limit to 0, so secrets in memory never reach a core
// file, then makes the process undumpable (no core file, no attaching by
// other processes of the same user). Both programs call it first thing in
// main(), before anything holds a secret. `whileReadable` runs in between:
// until the process is undumpable, other processes of the user (the
// compositor among them) can read its executable's path, which KWin checks
// when the program binds the globals it gives only to programs it knows. A
// process that someone attached to in that moment stops at once.
// True when both protections took effect.
bool hardenProcess(const std::function<void()>& whileReadable = {});

// The pid of the process tracing this one, 0 when none does.
int tracerPid();

} // namespace ql
