#pragma once
#include <QDate>
#include <QTime>
#include <cstdint>

namespace ql {

// Day numbers count days since 28 December 1800, so that day % 7 == 0 is a Sunday.
inline const QDate& dayZero() {
    static const QDate zero(1800, 12, 28);
    return zero;
}
inline int32_t dayNumber(const QDate& date) {
    return date.isValid() ? int32_t(dayZero().daysTo(date)) : 0;
}
inline QDate dateOfDay(int32_t day) { return day > 0 ? dayZero().addDays(day) : QDate(); }

// Time of day in hundredths since midnight plus one; 0 means no time.
inline int32_t timeNumber(const QTime& time) {
    return time.isValid() ? int32_t(time.msecsSinceStartOfDay() / 10) + 1 : 0;
}
inline QTime timeOfNumber(int32_t t) {
    return t > 0 ? QTime::fromMSecsSinceStartOfDay((t - 1) * 10) : QTime();
}

} // namespace ql
