#pragma once
#include "reports/views/PrinterChoice.h"

class QWidget;

namespace ql {

class ProgramServices;
struct ProgramValues;

// "Password Health" of the File menu's "Reports": the user, then the pages in
// the preview, from where they print or are saved as a PDF.
void runHealthReport(ProgramServices& services, const ProgramValues& values, QWidget* parent,
                     const PrinterChoice& printer = {});

} // namespace ql
