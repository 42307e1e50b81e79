#pragma once
#include "reports/PageItems.h"
#include <QString>
#include <vector>

namespace ql {

// Writes the pages to a PDF file, created readable and writable by its owner
// alone (the pages hold passwords in clear) and put in place only once
// complete. An empty text on success, else what went wrong.
QString writePdfFile(const std::vector<ReportPage>& pages, const QString& fileName, const QString& title);

} // namespace ql
