#pragma once
#include "reports/PageItems.h"
#include <vector>

class QPainter;
class QPaintDevice;

namespace ql {

// Scales the painter so that one unit is a thousandth of an inch on the device.
void scaleToReportUnits(QPainter& painter, const QPaintDevice& device);

// Draws one page in report units: texts, frames and check boxes. Text is
// never clipped to its control: what the layout placed is all printed.
void drawReportPage(QPainter& painter, const ReportPage& page);

} // namespace ql
