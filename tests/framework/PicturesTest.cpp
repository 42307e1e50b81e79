#include "framework/Pictures.h"
#include "platform/core/Clock.h"
#include "platform/core/DayNumber.h"
#include <QLocale>
#include <gtest/gtest.h>

using namespace ql;

namespace {

std::string show(const QString& text) { return text.toStdString(); }

} // namespace

TEST(Pictures, KindComesFromTheLetterAfterTheAtSignInAnyCase) {
    EXPECT_EQ(Picture(u"@S1000").kind(), PictureKind::Text);
    EXPECT_EQ(Picture(u"@N30.9").kind(), PictureKind::Number);
    EXPECT_EQ(Picture(u"@d17").kind(), PictureKind::Date);
    EXPECT_EQ(Picture(u"d4b").kind(), PictureKind::Date);
    EXPECT_EQ(Picture(u"@T3").kind(), PictureKind::Time);
    EXPECT_EQ(Picture(u"@p<<<# secondspb").kind(), PictureKind::Pattern);
    EXPECT_EQ(Picture(u"@k###k").kind(), PictureKind::Other);
    EXPECT_EQ(Picture(u"@S1000").width(), 1000);
}

TEST(Pictures, NumbersAreAlignedBlankedWhenZeroAndNeverCut) {
    EXPECT_EQ(show(Picture(u"@n_3b").format(0)), "");
    EXPECT_EQ(show(Picture(u"@n_3b").format(7)), "  7");
    EXPECT_EQ(show(Picture(u"@n6b").format(4000)), "  4000");
    EXPECT_EQ(show(Picture(u"@n3").format(0)), "  0");
    EXPECT_EQ(show(Picture(u"@n3").format(12345)), "12345");
    EXPECT_EQ(show(Picture(u"@n03").format(5)), "005");
    EXPECT_EQ(show(Picture(u"@n4").format(-12)), " -12");
    EXPECT_EQ(show(Picture(u"N4").format(3)), "   3");
    EXPECT_EQ(show(Picture(u"@N8.2").format(5)), "    5.00");
    EXPECT_EQ(Picture(u"@n_6b").unformat(u"   123"), 123);
    EXPECT_EQ(Picture(u"@n6b").unformat(u""), 0);
    EXPECT_EQ(Picture(u"@n6").unformat(u"12x"), std::nullopt);
}

TEST(Pictures, PatternsFillTheirDigitPlacesAndReadBack) {
    const Picture seconds(u"@p<<<# secondspb");
    EXPECT_EQ(show(seconds.format(30)), "  30 seconds");
    EXPECT_EQ(show(seconds.format(0)), "");
    EXPECT_EQ(show(Picture(u"@p<<<# secondsp").format(0)), "   0 seconds");
    EXPECT_EQ(show(seconds.format(123456)), "123456 seconds");
    EXPECT_EQ(show(seconds.format(-5)), "  -5 seconds");
    for (qint64 v : {0LL, 1LL, 30LL, 199LL, 9999LL, 123456LL, -5LL, 2147483647LL})
        EXPECT_EQ(seconds.unformat(seconds.format(v)), v) << v;
    EXPECT_EQ(seconds.unformat(u"45 Seconds"), 45);
    EXPECT_EQ(seconds.unformat(u"45"), 45);
    EXPECT_EQ(seconds.unformat(u"forty seconds"), std::nullopt);
    EXPECT_EQ(show(Picture(u"@p###-####p").format(5551234)), "555-1234");
}

TEST(Pictures, DatesWithFourDigitYearsReadBackAsThemselves) {
    const QDate dates[] = {QDate(1801, 1, 1), QDate(1959, 10, 31), QDate(2000, 2, 29),
                           QDate(2038, 1, 19), QDate(2099, 12, 31), QDate(2400, 6, 15)};
    for (const char* code : {"@d2", "@d3", "@d4", "@d6", "@d8", "@d10", "@d17", "@d18"}) {
        const Picture picture(QString::fromLatin1(code));
        for (const QDate& date : dates) {
            const qint64 day = dayNumber(date);
            const QString shown = picture.format(day);
            EXPECT_EQ(picture.unformat(shown), day) << code << " " << show(shown);
        }
    }
    EXPECT_EQ(show(Picture(u"@d17").format(0)), "");
    EXPECT_EQ(Picture(u"@d17").unformat(u"  "), 0);
    const QString year = QLocale::system().toString(QDate(2030, 1, 5), QStringLiteral("yyyy"));
    EXPECT_TRUE(Picture(u"@d17").format(dayNumber(QDate(2030, 1, 5))).contains(year));
}

TEST(Pictures, DatesOfOtherFormsAndTwoDigitYears) {
    EXPECT_EQ(show(formatDate(dayNumber(QDate(1959, 10, 31)), "@d1")), "10/31/59");
    EXPECT_EQ(show(formatDate(dayNumber(QDate(1959, 10, 31)), "d3")), "OCT 31,1959");
    EXPECT_EQ(unformatDate(u"10/31/59", u"@d1"), dayNumber(QDate(1959, 10, 31)));
    EXPECT_EQ(unformatDate(u"1/2/03", u"@d1"), dayNumber(QDate(2003, 1, 2)));
    EXPECT_EQ(unformatDate(u"31/10/1959", u"@d6"), dayNumber(QDate(1959, 10, 31)));
    EXPECT_EQ(unformatDate(u"10/1959", u"@d14"), dayNumber(QDate(1959, 10, 1)));
    // Dates written the international way read under any date picture.
    EXPECT_EQ(unformatDate(u"2024-02-29", u"@d17"), dayNumber(QDate(2024, 2, 29)));
    // The ISO picture writes the same on every desktop and also reads the desktop's short date.
    EXPECT_EQ(show(formatDate(dayNumber(QDate(1959, 10, 3)), "@d10")), "1959-10-03");
    EXPECT_EQ(unformatDate(formatDate(dayNumber(QDate(1959, 10, 3)), "@d17"), u"@d10"),
              dayNumber(QDate(1959, 10, 3)));
    EXPECT_EQ(unformatDate(u"2/30/2024", u"@d2"), std::nullopt);
    EXPECT_EQ(unformatDate(u"next tuesday", u"@d17"), std::nullopt);
    EXPECT_EQ(unformatDate(u"1/1/1700", u"@d2"), std::nullopt); // before the first day
}

TEST(Pictures, TimesFormatAndReadBack) {
    const int32_t t = timeNumber(QTime(14, 23, 45, 670));
    EXPECT_EQ(show(formatTime(t, "@t3")), "2:23PM");
    EXPECT_EQ(show(formatTime(t, "@t1")), "14:23");
    EXPECT_EQ(show(formatTime(t, "@t4")), "14:23:45");
    EXPECT_EQ(show(formatTime(t, "@t9")), "14:23:45.67");
    EXPECT_EQ(show(formatTime(0, "@t3")), "");
    EXPECT_EQ(unformatTime(u"2:23PM", u"@t3"), timeNumber(QTime(14, 23)));
    EXPECT_EQ(unformatTime(u"12:05 am", u"@t3"), timeNumber(QTime(0, 5)));
    EXPECT_EQ(unformatTime(u"12:05PM", u"@t3"), timeNumber(QTime(12, 5)));
    EXPECT_EQ(unformatTime(u"1423", u"@t2"), timeNumber(QTime(14, 23)));
    EXPECT_EQ(unformatTime(u"", u"@t3"), 0);
    EXPECT_EQ(unformatTime(u"25:00", u"@t1"), std::nullopt);
    EXPECT_EQ(unformatTime(u"13:00PM", u"@t3"), std::nullopt);
    EXPECT_EQ(unformatTime(u"noon", u"@t3"), std::nullopt);
    // Every hundredth of the day survives the full-precision picture.
    for (int32_t v = 1; v <= kHundredthsPerDay; v += 7919)
        EXPECT_EQ(Picture(u"@t9").unformat(Picture(u"@t9").format(v)), v) << v;
    EXPECT_EQ(Picture(u"@t9").unformat(Picture(u"@t9").format(kHundredthsPerDay)), kHundredthsPerDay);
}

TEST(Pictures, TextPicturesCutToTheirWidthAndNumericOnesReadTextAsNumbers) {
    EXPECT_EQ(show(Picture(u"@s5").formatText(u"abcdefgh")), "abcde");
    EXPECT_EQ(show(Picture(u"@s").formatText(u"abcdefgh")), "abcdefgh");
    EXPECT_EQ(show(Picture(u"@n_3b").formatText(u"12")), " 12");
    EXPECT_EQ(show(Picture(u"@n3").formatText(u"not a number")), "not a number");
}

TEST(Pictures, WholeNumbers) {
    EXPECT_EQ(parseWholeNumber(u"4000"), 4000);
    EXPECT_EQ(parseWholeNumber(u" -12 "), -12);
    EXPECT_EQ(parseWholeNumber(u"+7.000"), 7);
    EXPECT_EQ(parseWholeNumber(u""), 0);
    EXPECT_EQ(parseWholeNumber(u"7.5"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u"12a"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u"-"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u"9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(parseWholeNumber(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(parseWholeNumber(u"9223372036854775808"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u"99999999999999999999999"), std::nullopt);
}

TEST(Pictures, TheShortDateIsTheDesktopsWithItsYearInFull) {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    for (const QDate& date : {QDate(1801, 1, 1), QDate(1999, 12, 31), QDate(2031, 7, 4)})
        EXPECT_EQ(show(formatDate(dayNumber(date), "@d17")), show(QLocale::system().toString(date, format)));
}
