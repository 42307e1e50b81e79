#include "platform/secure/ProcessHardening.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace ql {

int tracerPid() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("TracerPid:", 0) == 0) return std::atoi(line.c_str() + 10);
    return 0;
}

bool hardenProcess(const std::function<void()>& whileReadable) {
    const rlimit none{0, 0};
    const bool noCore = setrlimit(RLIMIT_CORE, &none) == 0;
    if (whileReadable) {
        const int tracerBefore = tracerPid(); // a debugger the user started us under
        whileReadable();
        const bool undumpable = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
        if (tracerPid() != tracerBefore) {
            std::fputs("Another process attached to this one at its start: stopping.\n", stderr);
            std::_Exit(1);
        }
        return undumpable && noCore;
    }
    return prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0 && noCore;
}

} // namespace ql
