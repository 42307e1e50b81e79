#include "tools/Calendar.h"
#include "platform/core/DayNumber.h"
#include <QLocale>
#include <algorithm>

namespace ql {

Calendar::Calendar(const Clock& clock, Prompter& prompter, int32_t startDate)
    : clock_(clock), prompter_(prompter), start_(startDate), result_(startDate) {
    if (start_ == 0) start_ = clock_.today();
    const QDate date = dateOfDay(start_);
    show(date.month(), date.year());
}

// Months outside the year range are never shown: the year is kept inside it.
void Calendar::show(int month, int year) {
    month_ = std::clamp(month, 1, 12);
    year_ = std::clamp(year, kFirstYear, kLastYear);
    const QDate first(year_, month_, 1);
    firstCell_ = first.dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
    daysInMonth_ = first.daysInMonth();
}

int Calendar::dayInCell(int cell) const {
    const int day = cell - firstCell_ + 1;
    return cell >= 0 && cell < kCells && day >= 1 && day <= daysInMonth_ ? day : 0;
}

int Calendar::cellOfDay(int day) const {
    return day >= 1 && day <= daysInMonth_ ? firstCell_ + day - 1 : -1;
}

int Calendar::startCell() const {
    const QDate start = dateOfDay(start_);
    return start.year() == year_ && start.month() == month_ ? cellOfDay(start.day()) : -1;
}

QString Calendar::caption() const {
    return QLocale::c().standaloneMonthName(month_) + u' ' + QString::number(year_);
}

void Calendar::previousMonth() {
    if (month_ == 1 && year_ == kFirstYear) return;
    month_ == 1 ? show(12, year_ - 1) : show(month_ - 1, year_);
}

void Calendar::nextMonth() {
    if (month_ == 12 && year_ == kLastYear) return;
    month_ == 12 ? show(1, year_ + 1) : show(month_ + 1, year_);
}

void Calendar::previousYear() { show(month_, year_ == kFirstYear ? kLastYear : year_ - 1); }

void Calendar::nextYear() { show(month_, year_ == kLastYear ? kFirstYear : year_ + 1); }

bool Calendar::enterMonth(int month) {
    if (month < 1 || month > 12) {
        prompter_.ask({QStringLiteral("Error Message"),
                       QStringLiteral("Month should be between 1 to 12")});
        return false;
    }
    show(month, year_);
    return true;
}

bool Calendar::enterYear(int year) {
    if (year < kFirstYear || year > kLastYear) {
        prompter_.ask({QStringLiteral("Error Message"),
                       QStringLiteral("Year should be between ") + QString::number(kFirstYear) +
                           QStringLiteral(" to ") + QString::number(kLastYear)});
        return false;
    }
    show(month_, year);
    return true;
}

int32_t Calendar::dateOfCell(int cell) const {
    const int day = dayInCell(cell);
    return day == 0 ? 0 : dayNumber(QDate(year_, month_, day));
}

bool Calendar::choose(int cell) {
    const int32_t date = dateOfCell(cell);
    if (date == 0) return false;
    if (date < clock_.today()) {
        const PromptButton answer = prompter_.ask(
            {QStringLiteral("Confirm"),
             QStringLiteral("You have selected a date earlier than today.  Do you wish to use "
                            "this date?"),
             int(PromptButton::Yes) | int(PromptButton::No), PromptButton::No,
             PromptIcon::Question});
        if (answer != PromptButton::Yes) return false;
    }
    result_ = date;
    return true;
}

} // namespace ql
