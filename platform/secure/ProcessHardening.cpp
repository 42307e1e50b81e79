#include "platform/secure/ProcessHardening.h"
#include <sys/prctl.h>
#include <sys/resource.h>

namespace ql {

bool hardenProcess() {
    const bool undumpable = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    const rlimit none{0, 0};
    const bool noCore = setrlimit(RLIMIT_CORE, &none) == 0;
    return undumpable && noCore;
}

} // namespace ql
