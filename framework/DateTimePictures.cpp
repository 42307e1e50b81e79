// Date and time pictures: formatting and reading back.
#include "framework/Pictures.h"
#include "platform/core/DayNumber.h"
#include <QLocale>
#include <vector>

namespace ql {

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",
                                   "May",     "June",     "July",      "August",
                                   "September", "October", "November", "December"};

// "@d17b" -> "d17": lower case, no "@", no blank-when-zero mark.
QString pictureCode(QStringView picture) {
    QString code = picture.trimmed().toString().toLower();
    if (code.startsWith(u'@')) code.remove(0, 1);
    if (code.size() > 1 && code.endsWith(u'b')) code.chop(1);
    return code;
}

QString two(int n) { return QString::number(n % 100).rightJustified(2, u'0'); }
QString four(int n) { return QString::number(n).rightJustified(4, u'0'); }
QString monthAbbrev(int month) { return QString::fromLatin1(kMonthNames[month - 1]).left(3).toUpper(); }

// The desktop's short date format with its year widened to four digits.
QString shortDateFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString formatDateCode(const QDate& d, const QString& code) {
    const int m = d.month(), day = d.day(), y = d.year();
    if (code == u"d1") return two(m) + u'/' + two(day) + u'/' + two(y);
    if (code == u"d2") return two(m) + u'/' + two(day) + u'/' + four(y);
    if (code == u"d3") return monthAbbrev(m) + u' ' + two(day) + u',' + four(y);
    if (code == u"d4")
        return QString::fromLatin1(kMonthNames[m - 1]) + u' ' + QString::number(day) + QStringLiteral(", ") + four(y);
    if (code == u"d5") return two(day) + u'/' + two(m) + u'/' + two(y);
    if (code == u"d6") return two(day) + u'/' + two(m) + u'/' + four(y);
    if (code == u"d7") return two(day) + u' ' + monthAbbrev(m) + u' ' + two(y);
    if (code == u"d8") return two(day) + u' ' + monthAbbrev(m) + u' ' + four(y);
    if (code == u"d13") return two(m) + u'/' + two(y);
    if (code == u"d14") return two(m) + u'/' + four(y);
    if (code == u"d15") return two(y) + u'/' + two(m);
    if (code == u"d16") return four(y) + u'/' + two(m);
    if (code == u"d18") return QLocale::system().toString(d, QLocale::LongFormat);
    return QLocale::system().toString(d, shortDateFormat()); // d17 and anything unknown
}

QString twelveHour(const QTime& t, bool seconds) {
    const int h = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    QString text = QString::number(h) + u':' + two(t.minute());
    if (seconds) text += u':' + two(t.second());
    return text + (t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

// A two-digit year falls in the hundred years ending twenty years from now.
int fullYear(int year, qsizetype digits) {
    if (digits > 2) return year;
    const int now = QDate::currentDate().year();
    int full = now - now % 100 + year;
    if (full > now + 20) full -= 100;
    return full;
}

struct Number {
    int value;
    qsizetype digits;
};

std::vector<Number> numbersIn(QStringView text) {
    std::vector<Number> found;
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isDigit()) { ++i; continue; }
        qsizetype start = i;
        int value = 0;
        while (i < text.size() && text[i].isDigit()) {
            if (i - start < 9) value = value * 10 + text[i].digitValue();
            ++i;
        }
        found.push_back({value, i - start});
    }
    return found;
}

int monthNamed(QStringView text) {
    for (qsizetype i = 0; i + 3 <= text.size(); ++i) {
        if (!text[i].isLetter() || (i > 0 && text[i - 1].isLetter())) continue;
        for (int m = 0; m < 12; ++m)
            if (text.mid(i, 3).compare(QLatin1String(kMonthNames[m]).left(3), Qt::CaseInsensitive) == 0)
                return m + 1;
    }
    return 0;
}

std::optional<int32_t> dayOf(int year, qsizetype yearDigits, int month, int day) {
    const QDate date(fullYear(year, yearDigits), month, day);
    const int32_t n = dayNumber(date);
    if (n <= 0) return std::nullopt;
    return n;
}

// Reads numbers in the order the picture writes them: "dmy", "mdy", "ymd", "my", "ym".
std::optional<int32_t> dateInOrder(QStringView text, QStringView order, int namedMonth) {
    std::vector<Number> n = numbersIn(text);
    int day = 1, month = namedMonth, year = 0;
    qsizetype yearDigits = 4;
    size_t next = 0;
    for (QChar part : order) {
        if (part == u'm' && namedMonth) continue;
        if (next >= n.size()) return std::nullopt;
        const Number& v = n[next++];
        if (part == u'd') day = v.value;
        else if (part == u'm') month = v.value;
        else { year = v.value; yearDigits = v.digits; }
    }
    if (next != n.size()) return std::nullopt;
    return dayOf(year, yearDigits, month, day);
}

// The order of day, month and year in a locale date format ("M/d/yyyy" -> "mdy").
QString orderOf(const QString& format) {
    QString order;
    for (QChar c : format) {
        const QChar part = c == u'd' ? QChar(u'd') : c == u'M' ? QChar(u'm') : c == u'y' ? QChar(u'y') : QChar();
        if (!part.isNull() && !order.contains(part)) order += part;
    }
    return order.size() == 3 ? order : QStringLiteral("mdy");
}

std::optional<int32_t> localeDate(QStringView text, bool longForm) {
    const QLocale locale = QLocale::system();
    const QString format = longForm ? locale.dateFormat(QLocale::LongFormat) : shortDateFormat();
    const QDate date = locale.toDate(text.toString(), format);
    if (date.isValid()) {
        const int32_t n = dayNumber(date);
        return n > 0 ? std::optional<int32_t>(n) : std::nullopt;
    }
    const QString order = orderOf(format);
    return dateInOrder(text, order, longForm || format.contains(QLatin1String("MMM")) ? monthNamed(text) : 0);
}

std::optional<int32_t> isoDate(QStringView text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return std::nullopt;
    return dateInOrder(text, u"ymd", 0);
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
    if (code == u"t2") return two(t.hour()) + two(t.minute());
    if (code == u"t3") return twelveHour(t, false);
    if (code == u"t4") return two(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second());
    if (code == u"t5") return two(t.hour()) + two(t.minute()) + two(t.second());
    if (code == u"t6") return twelveHour(t, true);
    if (code == u"t7") return QLocale::system().toString(t, QLocale::ShortFormat);
    if (code == u"t8") return QLocale::system().toString(t, QLocale::LongFormat);
    if (code == u"t9")
        return two(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second()) + u'.' +
               two((time - 1) % 100);
    return two(t.hour()) + u':' + two(t.minute());
}

std::optional<int32_t> unformatDate(QStringView text, QStringView picture) {
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    if (const auto iso = isoDate(text)) return iso;
    const QString code = pictureCode(picture);
    if (code == u"d1" || code == u"d2") return dateInOrder(text, u"mdy", 0);
    if (code == u"d5" || code == u"d6") return dateInOrder(text, u"dmy", 0);
    if (code == u"d3" || code == u"d4") return dateInOrder(text, u"mdy", monthNamed(text));
    if (code == u"d7" || code == u"d8") return dateInOrder(text, u"dmy", monthNamed(text));
    if (code == u"d13" || code == u"d14") return dateInOrder(text, u"my", 0);
    if (code == u"d15" || code == u"d16") return dateInOrder(text, u"ym", 0);
    return localeDate(text, code == u"d18");
}

// Accepts "h:mm", "h:mm:ss", "h:mm:ss.cc", "hhmm", "hhmmss", each with an
// optional AM/PM, whatever the time picture.
std::optional<int32_t> unformatTime(QStringView text, QStringView picture) {
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    const QString code = pictureCode(picture);
    if (code == u"t7" || code == u"t8") {
        const QTime t = QLocale::system().toTime(text.toString(), code == u"t7" ? QLocale::ShortFormat
                                                                               : QLocale::LongFormat);
        if (t.isValid()) return timeNumber(t);
    }
    int half = -1; // 0 AM, 1 PM
    if (text.endsWith(QLatin1String("am"), Qt::CaseInsensitive)) half = 0;
    else if (text.endsWith(QLatin1String("pm"), Qt::CaseInsensitive)) half = 1;
    if (half >= 0) text = text.chopped(2).trimmed();
    std::vector<Number> n = numbersIn(text);
    for (QChar c : text)
        if (!c.isDigit() && c != u':' && c != u'.') return std::nullopt;
    if (n.size() == 1 && (n[0].digits == 4 || n[0].digits == 6)) {
        const int v = n[0].value;
        n = n[0].digits == 4 ? std::vector<Number>{{v / 100, 2}, {v % 100, 2}}
                             : std::vector<Number>{{v / 10000, 2}, {v / 100 % 100, 2}, {v % 100, 2}};
    }
    if (n.size() < 2 || n.size() > 4) return std::nullopt;
    int hour = n[0].value;
    const int minute = n[1].value, second = n.size() > 2 ? n[2].value : 0;
    int hundredths = 0;
    if (n.size() == 4) hundredths = n[3].digits == 1 ? n[3].value * 10 : n[3].digits == 2 ? n[3].value : -1;
    if (half >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + 12 * half;
    }
    if (hour > 23 || minute > 59 || second > 59 || hundredths < 0 || hundredths > 99) return std::nullopt;
    return ((hour * 60 + minute) * 60 + second) * 100 + hundredths + 1;
}

} // namespace ql
