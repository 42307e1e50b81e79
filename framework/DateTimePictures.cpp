// Date and time pictures: formatting and reading back.
#include "framework/DateTimePictures.h"
#include "framework/Pictures.h"
#include "platform/core/DayNumber.h"
#include <QLocale>
#include <vector>

namespace ql {

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",
                                   "May",     "June",     "July",      "August",
                                   "September", "October", "November", "December"};


// Digits of n, at least `width` of them (zeros before).
QString digits(int n, int width) {
    char16_t buffer[12];
    int at = 12;
    unsigned v = unsigned(n);
    do {
        buffer[--at] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v > 0 && at > 0);
    while (12 - at < width && at > 0) buffer[--at] = u'0';
    return QString(reinterpret_cast<const QChar*>(buffer + at), 12 - at);
}
QString two(int n) { return digits(n % 100, 2); }
QString four(int n) { return digits(n, 4); }
QString monthAbbrev(int month) { return QString::fromLatin1(kMonthNames[month - 1]).left(3).toUpper(); }

// The desktop's short date, read once: its format with the year widened to
// four digits and, for a format of days, months (as digits or short names)
// and years only (the usual case), its parts, so that formatting and reading
// a date need no locale machinery.
struct ShortDate {
    struct Part {
        char16_t kind; // u'd', u'M', u'y', or 0 for literal text
        int width;     // 3 for a month's short name
        QString literal;
    };
    QString format;
    std::vector<Part> parts;
    QString order; // "mdy", "dmy", "ymd"...
    QStringList monthNames; // short names, when the format shows one
    bool numeric = true;    // simple enough to need no locale machinery
};

ShortDate makeShortDate() {
    const QLocale locale = QLocale::system();
    ShortDate sd;
    sd.format = locale.dateFormat(QLocale::ShortFormat);
    if (!sd.format.contains(QLatin1String("yyyy"))) sd.format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    sd.numeric = locale.zeroDigit() == QLatin1String("0");
    const QString& f = sd.format;
    for (qsizetype i = 0; i < f.size();) {
        qsizetype j = i;
        while (j < f.size() && f[j] == f[i]) ++j;
        const char16_t c = f[i].unicode();
        const int run = int(j - i);
        if (c == u'd' || c == u'M' || c == u'y') {
            const bool ok = c == u'y' ? run == 4 : (run <= 2 || (c == u'M' && run == 3));
            sd.numeric = sd.numeric && ok;
            sd.parts.push_back({c, run, {}});
            const QChar part = c == u'M' ? QChar(u'm') : QChar(c);
            if (!sd.order.contains(part)) sd.order += part;
        } else if (QChar(c).isLetter() || c == u'\'') {
            sd.numeric = false;
        } else {
            sd.parts.push_back({0, 0, f.mid(i, run)});
        }
        i = j;
    }
    sd.numeric = sd.numeric && sd.order.size() == 3;
    if (sd.format.contains(QLatin1String("MMM")))
        for (int m = 1; m <= 12; ++m) sd.monthNames << locale.monthName(m, QLocale::ShortFormat);
    return sd;
}

const ShortDate& shortDate() {
    static const ShortDate sd = makeShortDate();
    return sd;
}

QString formatShortDate(const QDate& d) {
    const ShortDate& sd = shortDate();
    if (!sd.numeric) return QLocale::system().toString(d, sd.format);
    QString text;
    text.reserve(12);
    for (const ShortDate::Part& p : sd.parts) {
        if (p.kind == 0) text += p.literal;
        else if (p.kind == u'y') text += four(d.year());
        else if (p.kind == u'M' && p.width == 3) text += sd.monthNames.value(d.month() - 1);
        else text += digits(p.kind == u'd' ? d.day() : d.month(), p.width);
    }
    return text;
}

QString formatDateCode(const QDate& d, int code) {
    int y, m, day;
    d.getDate(&y, &m, &day);
    switch (code) {
    case 1: return two(m) + u'/' + two(day) + u'/' + two(y);
    case 2: return two(m) + u'/' + two(day) + u'/' + four(y);
    case 3: return monthAbbrev(m) + u' ' + two(day) + u',' + four(y);
    case 4: return QString::fromLatin1(kMonthNames[m - 1]) + u' ' + QString::number(day) + QStringLiteral(", ") + four(y);
    case 5: return two(day) + u'/' + two(m) + u'/' + two(y);
    case 6: return two(day) + u'/' + two(m) + u'/' + four(y);
    case 7: return two(day) + u' ' + monthAbbrev(m) + u' ' + two(y);
    case 8: return two(day) + u' ' + monthAbbrev(m) + u' ' + four(y);
    case 10: return four(y) + u'-' + two(m) + u'-' + two(day);
    case 13: return two(m) + u'/' + two(y);
    case 14: return two(m) + u'/' + four(y);
    case 15: return two(y) + u'/' + two(m);
    case 16: return four(y) + u'/' + two(m);
    case 18: return QLocale::system().toString(d, QLocale::LongFormat);
    default: return formatShortDate(d); // 17 and anything unknown
    }
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

// The month whose name (from `names`, January first) the text holds; 0 when
// there are no names. The longest name found wins ("June" over "Jun").
int monthIn(QStringView text, const QStringList& names) {
    int found = 0;
    qsizetype length = 0;
    for (int m = 0; m < names.size(); ++m) {
        const QString& name = names[m];
        if (name.size() > length && text.contains(name, Qt::CaseInsensitive)) {
            found = m + 1;
            length = name.size();
        }
    }
    return found ? found : (names.isEmpty() ? 0 : -1);
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
    const ShortDate& sd = shortDate();
    if (!longForm && sd.numeric) return dateInOrder(text, sd.order, monthIn(text, sd.monthNames));
    const QLocale locale = QLocale::system();
    const QString format = longForm ? locale.dateFormat(QLocale::LongFormat) : shortDate().format;
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

int pictureNumber(QStringView picture) {
    picture = picture.trimmed();
    if (picture.startsWith(u'@')) picture = picture.mid(1);
    int n = 0;
    for (qsizetype i = 1; i < picture.size() && picture[i].isDigit() && n < 1000; ++i)
        n = n * 10 + picture[i].digitValue();
    return n;
}

QString formatDateNumber(int32_t day, int code) {
    if (day <= 0) return {};
    return formatDateCode(dateOfDay(day), code);
}

QString formatTimeNumber(int32_t time, int code) {
    if (time <= 0) return {};
    const QTime t = timeOfNumber(time);
    switch (code) {
    case 2: return two(t.hour()) + two(t.minute());
    case 3: return twelveHour(t, false);
    case 4: return two(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second());
    case 5: return two(t.hour()) + two(t.minute()) + two(t.second());
    case 6: return twelveHour(t, true);
    case 7: return QLocale::system().toString(t, QLocale::ShortFormat);
    case 8: return QLocale::system().toString(t, QLocale::LongFormat);
    case 9:
        return two(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second()) + u'.' +
               two((time - 1) % 100);
    default: return two(t.hour()) + u':' + two(t.minute());
    }
}

std::optional<int32_t> readDate(QStringView text, int code) {
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    if (const auto iso = isoDate(text)) return iso;
    switch (code) {
    case 1: case 2: return dateInOrder(text, u"mdy", 0);
    case 5: case 6: return dateInOrder(text, u"dmy", 0);
    case 3: case 4: return dateInOrder(text, u"mdy", monthNamed(text));
    case 7: case 8: return dateInOrder(text, u"dmy", monthNamed(text));
    case 13: case 14: return dateInOrder(text, u"my", 0);
    case 15: case 16: return dateInOrder(text, u"ym", 0);
    default: return localeDate(text, code == 18); // 10, 17 and unknown: the short date
    }
}

QString formatDate(int32_t day, const QString& picture) { return formatDateNumber(day, pictureNumber(picture)); }
QString formatTime(int32_t time, const QString& picture) { return formatTimeNumber(time, pictureNumber(picture)); }
std::optional<int32_t> unformatDate(QStringView text, QStringView picture) {
    return readDate(text, pictureNumber(picture));
}
std::optional<int32_t> unformatTime(QStringView text, QStringView picture) {
    return readTime(text, pictureNumber(picture));
}

// Accepts "h:mm", "h:mm:ss", "h:mm:ss.cc", "hhmm", "hhmmss", each with an
// optional AM/PM, whatever the time picture.
std::optional<int32_t> readTime(QStringView text, int code) {
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    if (code == 7 || code == 8) {
        const QTime t = QLocale::system().toTime(text.toString(), code == 7 ? QLocale::ShortFormat
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
