#pragma once
#include "platform/core/Clock.h"
#include "platform/core/Prompter.h"
#include <QString>
#include <array>

namespace ql {

// The date picker without widgets: one month as 42 day cells (six weeks from
// Sunday), its caption, month and year stepping and the choice of a day.
// Dates are day numbers; 0 is no date.
class Calendar {
public:
    static constexpr int kCells = 42;
    static constexpr int kFirstYear = 1801;
    static constexpr int kLastYear = 2099;

    // Starts on the month of `startDate`, or of today when it is 0. The
    // result stays `startDate` until a day is chosen.
    Calendar(const Clock& clock, Prompter& prompter, int32_t startDate);

    int month() const { return month_; }
    int year() const { return year_; }
    // Day of the month in cell k (counted from 0), 0 when the cell is empty.
    int dayInCell(int cell) const;
    // The cell that holds `day` of the shown month, or -1.
    int cellOfDay(int day) const;
    // The cell to focus on opening: the start date's day when its month is shown.
    int startCell() const;
    // "November 1999": the month's name, a blank and the year.
    QString caption() const;

    void previousMonth();
    void nextMonth();
    void previousYear();
    void nextYear();
    // Typed into the "Month:" and "Year:" entries: false (after the range
    // message) when out of range, the month shown staying as it was.
    bool enterMonth(int month);
    bool enterYear(int year);

    // Presses the button of a cell: true when the window closes with that date
    // as the result. A day before today is taken only when the user agrees.
    bool choose(int cell);
    int32_t result() const { return result_; }

private:
    void show(int month, int year);
    int32_t dateOfCell(int cell) const;

    const Clock& clock_;
    Prompter& prompter_;
    int32_t start_;
    int32_t result_;
    int month_ = 1;
    int year_ = kFirstYear;
    int firstCell_ = 0;   // column of day 1
    int daysInMonth_ = 31;
};

} // namespace ql
