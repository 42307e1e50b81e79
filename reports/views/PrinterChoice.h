#pragma once
#include <QPageSize>
#include <QString>

namespace ql {

// The printer and paper the reports print on, as chosen in "Print Setup"; it
// holds for as long as the program runs.
struct PrinterChoice {
    QString destination; // empty: the desktop's default printer
    QPageSize::PageSizeId pageSize = QPageSize::Letter;
};

} // namespace ql
