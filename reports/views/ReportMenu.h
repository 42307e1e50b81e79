#pragma once
#include "reports/ReportLayouts.h"
#include "reports/views/PrinterChoice.h"

class QWidget;

namespace ql {

class ProgramServices;
struct ProgramValues;

// Applies the report font of the preferences to every control of the
// layout; parts of it that are blank keep the layout's own font.
void applyReportFont(ReportLayout& layout, const ProgramValues& values);

// Runs one of the five reports from the main menu; printed pages go to the
// printer and paper of `printer`.
void runReport(ProgramServices& services, const ProgramValues& values, ReportKind kind, QWidget* parent,
               const PrinterChoice& printer = {});

} // namespace ql
