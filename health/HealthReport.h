#pragma once
#include "health/PasswordHealth.h"
#include "reports/PageBuilder.h"
#include "reports/ReportLayout.h"

namespace ql {

// The rows of the "Password Health" report as the page builder reads them:
// H_:SERVICE, H_:NAME, H_:STRENGTH, H_:REUSED, H_:EXPIRY, H_:LASTCHANGED,
// the texts the health window shows (never a password).
const TableDef& healthReportTable();

// The report's layout: a title, the six columns, and the date and page
// number at the foot of each page.
ReportLayout healthReportLayout();

// The pages of the report for the rows of a check, in their order (worst
// first); dates through `datePicture` ("@d17").
std::vector<ReportPage> healthReportPages(const std::vector<HealthRow>& rows, const ReportLayout& layout,
                                          TextMeasure& measure, const PageStamp& stamp,
                                          const QString& datePicture);

} // namespace ql
