#pragma once
#include "reports/ReportLayout.h"
#include <array>

namespace ql {

enum class ReportKind { ByService, ByUrl, ByName, ByLastChange, Master };

inline constexpr std::array<ReportKind, 5> kAllReports{ReportKind::ByService, ReportKind::ByUrl,
                                                       ReportKind::ByName, ReportKind::ByLastChange,
                                                       ReportKind::Master};

// The layout of one of the five reports, with its own fonts.
ReportLayout reportLayout(ReportKind kind);

// The text of the report's item in the main menu ("by Service", "Master Report").
QString reportMenuText(ReportKind kind);

// The date format preference ("d17", blank when unset): among the first four
// field controls of the layout, in layout order, each date picture is replaced
// by the preference. A blank preference leaves the layout as it is.
void applyDatePreference(ReportLayout& layout, const QString& dateFormat);

// Height of one line of the detail font; the detail controls are this high.
inline constexpr int kDetailLine = 135;

} // namespace ql
