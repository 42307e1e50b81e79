#include "framework/Pictures.h"
#include "platform/core/DayNumber.h"
#include <QLocale>

namespace ql {

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",
                                   "May",     "June",     "July",      "August",
                                   "September", "October", "November", "December"};

QString pictureCode(const QString& picture) {
    QString code = picture.trimmed().toLower();
    if (code.startsWith('@')) code.remove(0, 1);
    return code;
}

QString two(int n) { return QString::number(n % 100).rightJustified(2, '0'); }
QString four(int n) { return QString::number(n).rightJustified(4, '0'); }
QString monthAbbrev(int month) { return QString::fromLatin1(kMonthNames[month - 1]).left(3).toUpper(); }

QString formatDateCode(const QDate& d, const QString& code) {
    const int m = d.month(), day = d.day(), y = d.year();
    if (code == "d1") return two(m) + '/' + two(day) + '/' + two(y);
    if (code == "d2") return two(m) + '/' + two(day) + '/' + four(y);
    if (code == "d3") return monthAbbrev(m) + ' ' + two(day) + ',' + four(y);
    if (code == "d4")
        return QString::fromLatin1(kMonthNames[m - 1]) + ' ' + QString::number(day) + ", " + four(y);
    if (code == "d5") return two(day) + '/' + two(m) + '/' + two(y);
    if (code == "d6") return two(day) + '/' + two(m) + '/' + four(y);
    if (code == "d7") return two(day) + ' ' + monthAbbrev(m) + ' ' + two(y);
    if (code == "d8") return two(day) + ' ' + monthAbbrev(m) + ' ' + four(y);
    if (code == "d13") return two(m) + '/' + two(y);
    if (code == "d14") return two(m) + '/' + four(y);
    if (code == "d15") return two(y) + '/' + two(m);
    if (code == "d16") return four(y) + '/' + two(m);
    if (code == "d18") return QLocale::system().toString(d, QLocale::LongFormat);
    return QLocale::system().toString(d, QLocale::ShortFormat); // d17 and anything unknown
}

QString twelveHour(const QTime& t, bool seconds) {
    const int h = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    QString text = QString::number(h) + ':' + two(t.minute());
    if (seconds) text += ':' + two(t.second());
    return text + (t.hour() < 12 ? "AM" : "PM");
}

} // namespace

QString formatDate(int32_t day, const QString& picture) {
    if (day <= 0) return {};
    return formatDateCode(dateOfDay(day), pictureCode(picture));
}

QString formatTime(int32_t time, const QString& picture) {
    if (time <= 0) return {};
    const QTime t = timeOfNumber(time);
    const QString code = pictureCode(picture);
    if (code == "t3") return twelveHour(t, false);
    if (code == "t6") return twelveHour(t, true);
    if (code == "t4") return two(t.hour()) + ':' + two(t.minute()) + ':' + two(t.second());
    return two(t.hour()) + ':' + two(t.minute());
}

} // namespace ql
