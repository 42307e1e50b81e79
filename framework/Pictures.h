#pragma once
#include <QString>
#include <cstdint>

namespace ql {

// Display pictures for dates and times, as lists, forms and reports show them.
// Date pictures "d1" ... "d18" (case-insensitive, an optional leading "@"):
//   d1 10/31/59   d2 10/31/1959   d3 OCT 31,1959   d4 October 31, 1959
//   d5 31/10/59   d6 31/10/1959   d7 31 OCT 59     d8 31 OCT 1959
//   d13 10/59     d14 10/1959     d15 59/10        d16 1959/10
//   d17 the desktop's short date  d18 the desktop's long date
// A day number of 0 (no date) formats as the empty text.
QString formatDate(int32_t day, const QString& picture);

// Time pictures "t1" hh:mm (24-hour), "t3" h:mmAM/PM, "t4" hh:mm:ss,
// "t6" h:mm:ssAM/PM. A time of 0 (no time) formats as the empty text.
QString formatTime(int32_t time, const QString& picture);

} // namespace ql
