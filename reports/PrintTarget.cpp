#include "reports/PrintTarget.h"

namespace ql {

std::vector<ReportPage> handleCopies(const std::vector<ReportPage>& pages, int copies, bool printerCopies) {
    if (printerCopies || copies <= 1) return pages;
    std::vector<ReportPage> repeated;
    repeated.reserve(pages.size() * size_t(copies));
    for (int copy = 0; copy < copies; ++copy) repeated.insert(repeated.end(), pages.begin(), pages.end());
    return repeated;
}

} // namespace ql
