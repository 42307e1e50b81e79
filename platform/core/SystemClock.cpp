#include "platform/core/SystemClock.h"
#include "platform/core/DayNumber.h"
#include <QCoreApplication>
#include <QDateTime>

namespace ql {

int32_t SystemClock::today() const { return dayNumber(QDate::currentDate()); }

int32_t SystemClock::now() const { return timeNumber(QTime::currentTime()); }

void SystemClock::processEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace ql
