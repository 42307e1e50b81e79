#include "framework/Halt.h"
#include <cstdio>
#include <cstdlib>

namespace ql {

void haltProcess(const QString& haltText) {
    if (!haltText.isEmpty()) std::fprintf(stderr, "%s\n", haltText.toLocal8Bit().constData());
    std::fflush(nullptr);
    std::exit(EXIT_FAILURE);
}

} // namespace ql
