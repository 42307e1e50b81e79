#pragma once

namespace ql {

// Makes the process undumpable (no core file, no attaching by other processes
// of the same user) and sets its core size limit to 0, so secrets in memory
// never reach a core file. Both programs call it first thing in main().
// True when both took effect.
bool hardenProcess();

} // namespace ql
