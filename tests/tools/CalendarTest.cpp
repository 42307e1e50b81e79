#include "platform/core/DayNumber.h"
#include "platform/core/SystemClock.h"
#include "tools/Calendar.h"
#include <QLocale>
#include <gtest/gtest.h>

using namespace ql;

namespace {

int32_t day(int year, int month, int dayOfMonth) {
    return dayNumber(QDate(year, month, dayOfMonth));
}

class CalendarLogic : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        clock.day = day(2024, 3, 15);
    }
    // The filled cells as "first..last" and how many rows they reach into.
    static std::pair<int, int> filledCells(const Calendar& c) {
        int first = -1, last = -1;
        for (int cell = 0; cell < Calendar::kCells; ++cell)
            if (c.dayInCell(cell)) {
                if (first < 0) first = cell;
                last = cell;
            }
        return {first, last};
    }

    FakeClock clock;
    ScriptedPrompter prompter;
};

} // namespace

TEST_F(CalendarLogic, AMonthStartingOnSaturdayReachesTheSixthRow) {
    Calendar january(clock, prompter, day(2000, 1, 20)); // 1 January 2000 was a Saturday
    EXPECT_EQ(filledCells(january), std::make_pair(6, 36));
    EXPECT_EQ(january.dayInCell(6), 1);
    EXPECT_EQ(january.dayInCell(36), 31);
    EXPECT_EQ(36 / 7, 5);
    EXPECT_EQ(january.startCell(), january.cellOfDay(20));
    EXPECT_EQ(january.caption(), "January 2000");
}

TEST_F(CalendarLogic, TheCaptionNamesTheMonthInEnglishWhateverTheDesktopLanguage) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Calendar march(clock, prompter, day(2024, 3, 15));
    EXPECT_EQ(march.caption(), "March 2024");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(CalendarLogic, AShortFebruaryFromSundayFillsExactlyFourRows) {
    Calendar february(clock, prompter, day(2015, 2, 1));
    EXPECT_EQ(filledCells(february), std::make_pair(0, 27));
    Calendar leap(clock, prompter, day(2004, 2, 1)); // also a Sunday, one day more
    EXPECT_EQ(filledCells(leap), std::make_pair(0, 28));
}

TEST_F(CalendarLogic, NoDateOpensOnTodayAndKeepsNoDateAsTheResult) {
    Calendar calendar(clock, prompter, 0);
    EXPECT_EQ(calendar.month(), 3);
    EXPECT_EQ(calendar.year(), 2024);
    EXPECT_EQ(calendar.dayInCell(calendar.startCell()), 15);
    EXPECT_EQ(calendar.result(), 0);
}

TEST_F(CalendarLogic, TodayIsTakenAtOnceAndAnEarlierDayOnlyWhenConfirmed) {
    Calendar calendar(clock, prompter, day(2024, 6, 1));
    calendar.previousMonth();
    calendar.previousMonth();
    calendar.previousMonth(); // March 2024
    EXPECT_TRUE(calendar.choose(calendar.cellOfDay(15)));
    EXPECT_EQ(calendar.result(), clock.day);
    EXPECT_TRUE(prompter.asked.empty());

    prompter.answers = {PromptButton::No, PromptButton::Yes};
    EXPECT_FALSE(calendar.choose(calendar.cellOfDay(14)));
    EXPECT_EQ(calendar.result(), clock.day);
    ASSERT_EQ(prompter.asked.size(), 1u);
    const Prompt& asked = prompter.asked[0];
    EXPECT_EQ(asked.title, "Confirm");
    EXPECT_EQ(asked.text,
              "You have selected a date earlier than today.  Do you wish to use this date?");
    EXPECT_EQ(asked.buttons, int(PromptButton::Yes) | int(PromptButton::No));
    EXPECT_EQ(asked.defaultButton, PromptButton::No);
    EXPECT_TRUE(calendar.choose(calendar.cellOfDay(14)));
    EXPECT_EQ(calendar.result(), clock.day - 1);
    // Empty cells choose nothing.
    EXPECT_FALSE(calendar.choose(41));
    EXPECT_FALSE(calendar.choose(-1));
}

TEST_F(CalendarLogic, StepsWrapMonthsIntoYearsAndYearsAroundTheRange) {
    Calendar calendar(clock, prompter, day(1999, 12, 31));
    EXPECT_EQ(calendar.caption(), "December 1999");
    calendar.nextMonth();
    EXPECT_EQ(calendar.caption(), "January 2000");
    calendar.previousMonth();
    EXPECT_EQ(calendar.caption(), "December 1999");
    EXPECT_EQ(calendar.dayInCell(calendar.cellOfDay(31)), 31);

    Calendar first(clock, prompter, day(1801, 1, 10));
    first.previousYear();
    EXPECT_EQ(first.year(), 2099);
    first.nextYear();
    EXPECT_EQ(first.year(), 1801);
    // Months never step out of the year range.
    first.previousMonth();
    EXPECT_EQ(first.caption(), "January 1801");
    EXPECT_EQ(filledCells(first), std::make_pair(4, 34)); // 1 January 1801 was a Thursday
    Calendar last(clock, prompter, day(2099, 12, 31));
    last.nextMonth();
    EXPECT_EQ(last.caption(), "December 2099");
}

TEST_F(CalendarLogic, TypedMonthsAndYearsOutsideTheirRangesAreRefused) {
    Calendar calendar(clock, prompter, day(2024, 3, 15));
    EXPECT_FALSE(calendar.enterMonth(13));
    EXPECT_FALSE(calendar.enterMonth(0));
    EXPECT_FALSE(calendar.enterYear(1800));
    EXPECT_FALSE(calendar.enterYear(2100));
    ASSERT_EQ(prompter.asked.size(), 4u);
    EXPECT_EQ(prompter.asked[0].title, "Error Message");
    EXPECT_EQ(prompter.asked[0].text, "Month should be between 1 to 12");
    EXPECT_EQ(prompter.asked[2].title, "Error Message");
    EXPECT_EQ(prompter.asked[2].text, "Year should be between 1801 to 2099");
    EXPECT_EQ(calendar.caption(), "March 2024");
    EXPECT_TRUE(calendar.enterMonth(2));
    EXPECT_TRUE(calendar.enterYear(2023));
    EXPECT_EQ(calendar.caption(), "February 2023");
}

TEST_F(CalendarLogic, AStartDateOutsideTheRangeShowsTheNearestYearAndIsKept) {
    Calendar early(clock, prompter, 1); // 29 December 1800
    EXPECT_EQ(early.year(), 1801);
    EXPECT_EQ(early.month(), 12);
    EXPECT_EQ(early.startCell(), -1);
    EXPECT_EQ(early.result(), 1);
}
