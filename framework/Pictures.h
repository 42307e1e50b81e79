#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace ql {

// What a display picture shows, by the letter after its "@" (any case).
enum class PictureKind {
    Text,    // "@s128": up to 128 characters
    Number,  // "@n_3b", "@n6b", "@n3", "@N30.9"
    Date,    // "@d17"
    Time,    // "@t3"
    Pattern, // "@p<<<# secondspb"
    Other    // any other letter: shown as the value stands
};

// A display picture, parsed once, that formats values for lists, forms,
// reports and exported files, and reads shown text back (unformatting).
// The leading "@" is optional ("d4b" is "@d4b"); a trailing "b" or "B" means
// blank when zero.
//
// Number pictures: "@n" [-] [fill: "_" blank, "0" zeros, "*" stars] width
// ["." places] ["b"]. The number is right-aligned in the width; digits beyond
// the width are never cut.
//
// Date pictures (day numbers, 0 = no date, shown blank):
//   d1 10/31/59   d2 10/31/1959   d3 OCT 31,1959   d4 October 31, 1959
//   d5 31/10/59   d6 31/10/1959   d7 31 OCT 59     d8 31 OCT 1959
//   d10 1959-10-31 (ISO 8601: the same on every desktop, for files)
//   d13 10/59     d14 10/1959     d15 59/10        d16 1959/10
//   d17 the desktop's short date, its year always written with four digits
//       so that every date reads back as itself
//   d18 the desktop's long date
// Any date picture also reads a date written the ISO way (1959-10-31); d10
// reads the desktop's short date as well.
// Time pictures (hundredths since midnight plus one, 0 = no time, blank):
//   t1 hh:mm   t2 hhmm   t3 h:mmAM/PM   t4 hh:mm:ss   t5 hhmmss
//   t6 h:mm:ssAM/PM   t7 the desktop's short time   t8 its long time
//   t9 hh:mm:ss.cc (24-hour with hundredths: every stored time reads back as itself)
// Pattern pictures "@p...p": "#" a digit, "<" a digit or a blank for a
// leading zero, anything else shown as it stands ("@p<<<# secondsp" shows 30
// as "  30 seconds"). More digits than places widen the first place.
class Picture {
public:
    Picture();  // "@s" with no width
    explicit Picture(QStringView text);

    const QString& text() const { return text_; }
    PictureKind kind() const { return kind_; }
    // Width of a text or number picture, 0 when none is given.
    int width() const { return width_; }

    // A number as the picture shows it (a day number for dates, a time of day
    // for times). Text pictures show its digits.
    QString format(qint64 value) const;
    // A value held as text: text and other pictures show it as it stands (text
    // pictures cut to their width); numeric pictures read it as a whole number
    // first and show it unchanged when it is not one.
    QString formatText(QStringView value) const;
    // The number shown by `text`: blank text is 0; nullopt when the text does
    // not fit the picture (a date that does not parse, letters in a number).
    std::optional<qint64> unformat(QStringView text) const;

private:
    void parseNumber(QStringView code);
    void parsePattern(QStringView code);
    QString formatNumber(qint64 value) const;
    QString formatPattern(qint64 value) const;
    std::optional<qint64> unformatPattern(QStringView text) const;

    QString text_;
    QString code_;         // lower case, without "@" and without the "b" suffix
    PictureKind kind_ = PictureKind::Text;
    int width_ = 0;
    int places_ = 0;
    QChar fill_ = u' ';
    bool blankWhenZero_ = false;
    QString pattern_;      // between the p's of a pattern picture
    int number_ = 0;       // of a date or time picture: 17 for "@d17"
};

// Reads a whole number written in decimal (surrounding blanks, a sign and a
// fraction of zeros allowed: "4000", " -12 ", "7.000"); nullopt otherwise.
std::optional<qint64> parseWholeNumber(QStringView text);

// The date picture a "Date Format" preference stands for: "@d6" for "d6" (or
// "@d6"); the desktop's short date "@d17" when it is blank or no date picture.
QString preferredDatePicture(const QString& token);

QString formatDate(int32_t day, const QString& picture);
QString formatTime(int32_t time, const QString& picture);
// Day number of a date shown with a date picture; 0 for blank text.
std::optional<int32_t> unformatDate(QStringView text, QStringView picture);
// Time of day of a time shown with a time picture; 0 for blank text.
std::optional<int32_t> unformatTime(QStringView text, QStringView picture);

} // namespace ql
