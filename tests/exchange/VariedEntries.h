#pragma once
// Entries whose every exchanged field holds a varied value, for round trips
// through comma-separated files.
#include "platform/core/Clock.h"
#include "platform/core/DayNumber.h"
#include "platform/records/Record.h"
#include <QStringList>
#include <limits>
#include <random>

namespace ql::test {

// Text values that exercise quoting: quotes, commas, line breaks, blanks,
// characters beyond Latin-1, and now and then a very long one.
class VariedText {
public:
    explicit VariedText(unsigned seed) : random_(seed) {}
    QString make(int maxLength) {
        static const QStringList pieces{"\"", ",", "\n", " ", "a", "Zq", "42", "é", "€", "漢字",
                                        QString::fromUtf8("😀"), "\"\"", ", \"", "[Tab]", "\\", "'"};
        const int length = random_() % 25 == 0 ? maxLength : int(random_() % std::min(maxLength, 60));
        QString value;
        while (value.size() < length) value += pieces[random_() % pieces.size()];
        return value.left(maxLength);
    }
    qint64 between(qint64 low, qint64 high) {
        return low + qint64(random_() % quint64(high - low + 1));
    }

private:
    std::mt19937_64 random_;
};

inline void fillVaried(Record& r, VariedText& v, int i) {
    r.setText("P_:SERVICE", QStringLiteral("Service %1 ").arg(i) + v.make(100));
    r.setText("P_:NAME", QStringLiteral("login%1").arg(i) + v.make(100));
    r.setText("P_:URL", v.make(255));
    r.setText("P_:PASSWORD", v.make(128));
    r.setText("P_:NOTES", v.make(10000));
    r.setText("P_:MORENOTES", v.make(10000));
    const qint64 first = dayNumber(QDate(1801, 1, 1)), last = dayNumber(QDate(2400, 12, 31));
    r.setNumber("P_:EXPIRYDATE", i % 5 == 0 ? 0 : v.between(first, last));
    r.setNumber("P_:LASTCHANGEDATE", i % 7 == 0 ? 0 : v.between(first, last));
    r.setNumber("P_:LASTCHANGETIME", v.between(0, kHundredthsPerDay));
    r.setNumber("P_:EXPIRYINTERVAL", v.between(-1000, 100000));
    r.setNumber("P_:LEVEL", v.between(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    r.setNumber("P_:MONITOR", v.between(0, 255));
    r.setNumber("P_:SECONDSTOWAIT", v.between(0, 199));
    r.setNumber("P_:DONOTREPEATSECONDS", v.between(-50, 2'000'000));
    r.setNumber("P_:DIRECTSEND", v.between(0, 255));
    r.setText("P_:WINDOWTITLETOLOCATE", v.make(100));
    r.setText("P_:WINDOWCONTENTS", v.make(40));
    r.setText("P_:PASTE", v.make(255));
    r.setText("P_:FILENAME", v.make(255));
    r.setText("P_:ENCRYPTEDFILENAME", v.make(255));
}

} // namespace ql::test
