#include "framework/IniStore.h"
#include "platform/core/DayNumber.h"
#include "platform/core/SystemClock.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/TestApp.h"
#include "tools/views/CalendarDialog.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

class CalendarWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(dir_.isValid());
        positions_.openStore(dir_.filePath("POSITION.INI"));
        clock_.day = dayNumber(QDate(2024, 3, 15));
    }

    int32_t run(int32_t date, const QString& title, std::function<void(QWidget&)> act) {
        ModalAnswers answers({{title, std::move(act)}});
        const int32_t result = runCalendar(clock_, prompter_, positions_, date);
        EXPECT_TRUE(answers.finished());
        return result;
    }
    static QPushButton* button(QWidget& w, const QString& name) {
        return w.findChild<QPushButton*>(name);
    }
    static QString caption(QWidget& w) { return w.findChild<QLabel*>("caption")->text(); }

    QTemporaryDir dir_;
    IniStore positions_;
    FakeClock clock_;
    ScriptedPrompter prompter_;
};

} // namespace

TEST_F(CalendarWindow, OpensOnTodayWithTheFocusOnItsDayAndClosesWithoutAChoice) {
    QStringList headers, shown;
    QWidget* focused = nullptr;
    QWidget* today = nullptr;
    const int32_t result = run(0, "Select Date", [&](QWidget& w) {
        for (QLabel* label : w.findChildren<QLabel*>())
            if (label->text().size() == 3) headers << label->text();
        for (int cell = 0; cell < 42; ++cell) {
            QPushButton* day = button(w, QStringLiteral("day%1").arg(cell));
            if (!day->isHidden()) shown << day->text();
            if (day->text() == "15") today = day;
        }
        focused = w.focusWidget();
        w.grab().save(QStringLiteral("calendar.png"));
        shown << caption(w) << w.findChild<QLineEdit*>("month")->text()
              << w.findChild<QLineEdit*>("year")->text();
        QMetaObject::invokeMethod(button(w, "close"), "click", Qt::QueuedConnection);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(headers, (QStringList{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}));
    EXPECT_EQ(shown.size(), 31 + 3);
    EXPECT_EQ(shown.front(), "1");
    EXPECT_EQ(shown.mid(31), (QStringList{"March 2024", "03", "2024"}));
    EXPECT_EQ(focused, today);
    QFile ini(dir_.filePath("POSITION.INI"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[Calendar]"));
}

TEST_F(CalendarWindow, StepButtonsAndEntriesMoveTheMonthAndAnEarlierDayIsConfirmed) {
    prompter_.answers = {PromptButton::Ok, PromptButton::Yes};
    QStringList captions;
    bool monthRefocused = false;
    const int32_t given = dayNumber(QDate(2030, 1, 1));
    const int32_t result = run(given, "Select Date", [&](QWidget& w) {
        button(w, "monthBack")->click();
        captions << caption(w);
        button(w, "yearNext")->click();
        captions << caption(w);
        button(w, "monthNext")->click();
        captions << caption(w);
        QLineEdit* month = w.findChild<QLineEdit*>("month");
        month->setText("13");
        emit month->editingFinished();
        monthRefocused = w.focusWidget() == month;
        month->setText("2");
        emit month->editingFinished();
        QLineEdit* year = w.findChild<QLineEdit*>("year");
        year->setText("2020");
        emit year->editingFinished();
        captions << caption(w);
        QMetaObject::invokeMethod(button(w, "day6"), "click", Qt::QueuedConnection); // 1 February 2020
    });
    EXPECT_EQ(captions,
              (QStringList{"December 2029", "December 2030", "January 2031", "February 2020"}));
    EXPECT_TRUE(monthRefocused);
    ASSERT_EQ(prompter_.asked.size(), 2u);
    EXPECT_EQ(prompter_.asked[0].text, "Month should be between 1 to 12");
    EXPECT_EQ(prompter_.asked[1].title, "Confirm");
    EXPECT_EQ(result, dayNumber(QDate(2020, 2, 1)));
}

TEST_F(CalendarWindow, TheTitleIsTheCallersWhenGiven) {
    Calendar logic(clock_, prompter_, 0);
    CalendarDialog dialog(logic, positions_, QStringLiteral("Expiry Date"));
    EXPECT_EQ(dialog.windowTitle(), "Expiry Date");
    CalendarDialog blank(logic, positions_, QStringLiteral("   "));
    EXPECT_EQ(blank.windowTitle(), "Select Date");
}
