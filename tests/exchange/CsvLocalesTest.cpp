// Comma-separated files written on one desktop and read on another whose
// dates read the other way round (month first, day first): each step runs in
// a program of its own, started with that desktop's language.
#include "ExchangeFixture.h"
#include "VariedEntries.h"
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

using namespace ql;
using namespace ql::test;

namespace {

const QString kMonthFirst = QStringLiteral("en_US.UTF-8");
const QString kDayFirst = QStringLiteral("de_DE.UTF-8");

class CsvLocales : public ExchangeTest {
protected:
    // Runs one step of the tool under `locale`; its output, or a failure.
    QString step(const QString& locale, const QStringList& arguments) {
        passwords.close(); // the tool has the data folder to itself meanwhile
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANG", "LANGUAGE", "LC_TIME", "LC_NUMERIC", "LC_MESSAGES"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LC_ALL"), locale);
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(CSV_LOCALE_STEP), QStringList{folder.path()} + arguments);
        EXPECT_TRUE(tool.waitForFinished(120000));
        const QString error = QString::fromUtf8(tool.readAllStandardError());
        EXPECT_EQ(tool.exitCode(), 0) << locale.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(managers.passwords.open(passwords), store_error::NoError);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }

    void addVaried(const QString& user, int count, unsigned seed) {
        VariedText varied(seed);
        ASSERT_EQ(passwords.stream(), store_error::NoError);
        for (int i = 0; i < count; ++i)
            addEntry(user, QString(), QString(), [&](Record& r) { fillVaried(r, varied, i); });
        ASSERT_EQ(passwords.flush(), store_error::NoError);
    }

    // Every exchanged field of every entry, dates and the time of the last change included.
    void expectSameEntries(const QString& user, const QString& copyUser) {
        const std::vector<Record> original = entriesOf(user), copy = entriesOf(copyUser);
        ASSERT_EQ(copy.size(), original.size());
        for (size_t i = 0; i < copy.size(); ++i) {
            for (const ExchangeField& f : exchangeFields())
                ASSERT_EQ(copy[i].text(f.name), original[i].text(f.name)) << f.name.toStdString() << " of " << i;
            ASSERT_EQ(copy[i].text("P_:CONFIRMPASSWORD"), original[i].text("P_:PASSWORD"));
        }
    }
};

} // namespace

TEST_F(CsvLocales, TheToolRunsOnTheDesktopsItIsGiven) {
    EXPECT_EQ(step(kMonthFirst, {"shortdate", "2024-10-03"}), "10/3/2024");
    EXPECT_EQ(step(kDayFirst, {"shortdate", "2024-10-03"}), "03.10.2024");
}

TEST_F(CsvLocales, AFileWrittenWhereDatesReadMonthFirstReadsBackWhereTheyReadDayFirstAndBack) {
    addVaried("Alice", 1000, 4321);
    const QString there = filePath("month-first.csv"), back = filePath("day-first.csv");
    ASSERT_EQ(step(kMonthFirst, {"export", there, "Alice"}), "1000");
    // Dates leave the ISO way, whatever the desktop.
    const QString written = QString::fromUtf8(readFile(there));
    EXPECT_TRUE(written.contains(QRegularExpression(QStringLiteral(",\"\\d{4}-\\d\\d-\\d\\d\","))));
    EXPECT_FALSE(written.contains(QRegularExpression(QStringLiteral(",\"\\d{1,2}/\\d{1,2}/\\d{4}\","))));
    ASSERT_EQ(step(kDayFirst, {"import", there, "Bob"}), "1000");
    expectSameEntries("Alice", "Bob");

    ASSERT_EQ(step(kDayFirst, {"export", back, "Bob"}), "1000");
    ASSERT_EQ(step(kMonthFirst, {"import", back, "Carol"}), "1000");
    expectSameEntries("Alice", "Carol");
}

// Files written before dates left the ISO way hold the desktop's short date
// with a four-digit year: they still read where they were written.
TEST_F(CsvLocales, AFileWithTheDesktopsShortDatesStillReadsOnThatDesktop) {
    addVaried("Dora", 200, 99);
    for (const QString& locale : {kMonthFirst, kDayFirst}) {
        const QString file = filePath("short-dates.csv"), copy = locale.left(2) + "-copy";
        ASSERT_EQ(step(locale, {"export", file, "Dora", "@d17"}), "200");
        const QString dateForm = locale == kMonthFirst ? QStringLiteral(",\"\\d{1,2}/\\d{1,2}/\\d{4}\",")
                                                       : QStringLiteral(",\"\\d\\d\\.\\d\\d\\.\\d{4}\",");
        EXPECT_TRUE(QString::fromUtf8(readFile(file)).contains(QRegularExpression(dateForm)));
        ASSERT_EQ(step(locale, {"import", file, copy}), "200");
        expectSameEntries("Dora", copy);
    }
}
