#include "HealthFixture.h"
#include "health/HealthReport.h"
#include "tests/reports/ReportTestSupport.h"
#include <algorithm>

using namespace ql;

namespace {

class HealthReport : public ql::test::HealthFixture {
protected:
    std::vector<ReportPage> pages() {
        DataTable table(passwordsTable());
        EXPECT_EQ(managers().passwords.open(table), 0);
        const std::vector<HealthRow> rows = checkUserPasswords(table, QStringLiteral("amy"), kToday);
        return healthReportPages(rows, healthReportLayout(), measure_, {1, kToday, 4'500'001},
                                 QStringLiteral("@d10"));
    }
    static std::vector<QString> textsOf(const ReportPage& page) {
        std::vector<const PlacedText*> placed;
        for (const PlacedText& t : page.texts) placed.push_back(&t);
        std::stable_sort(placed.begin(), placed.end(), [](auto a, auto b) { return a->y < b->y; });
        std::vector<QString> texts;
        for (const PlacedText* t : placed) texts.push_back(t->text);
        return texts;
    }
    static int indexOf(const std::vector<QString>& texts, const QString& text) {
        auto it = std::find(texts.begin(), texts.end(), text);
        return it == texts.end() ? -1 : int(it - texts.begin());
    }

    ql::test::FixedPitchMeasure measure_;
};

TEST_F(HealthReport, ListsTheEntriesWorstFirstWithTheWindowsTextsAndNoPassword) {
    storeEntry("amy", "Bank", "hV7#qP2!xZ9@mL4$wK8&tR3");
    storeEntry("amy", "Mail", "password");
    storeEntry("amy", "Shop", "Zq8!wE3#rT6$yU1%");
    storeEntry("amy", "Forum", "Zq8!wE3#rT6$yU1%", [](Record& r) { r.setNumber("P_:EXPIRYDATE", kToday - 2); });
    const std::vector<ReportPage> out = pages();
    ASSERT_EQ(out.size(), 1u);
    const std::vector<QString> texts = textsOf(out[0]);
    EXPECT_EQ(texts.front(), "Password Health");
    EXPECT_GE(indexOf(texts, "Last Changed"), 0);
    const int mail = indexOf(texts, "Mail"), forum = indexOf(texts, "Forum"), bank = indexOf(texts, "Bank");
    ASSERT_GE(mail, 0);
    EXPECT_LT(mail, forum);
    EXPECT_LT(forum, bank);
    EXPECT_GE(indexOf(texts, "0 - Very weak"), 0);
    EXPECT_GE(indexOf(texts, "Yes, 1 other entry"), 0);
    EXPECT_GE(indexOf(texts, QStringLiteral("Page %1").arg(1, 4)), 0);
    for (const QString& t : texts)
        EXPECT_FALSE(t.contains("password") || t.contains("hV7#") || t.contains("Zq8!")) << t.toStdString();
}

TEST_F(HealthReport, ManyEntriesGoOnOverNumberedPages) {
    for (int i = 0; i < 120; ++i)
        storeEntry("amy", QStringLiteral("Service %1").arg(i, 3, 10, QChar(u'0')), QStringLiteral("pw%1").arg(i));
    const std::vector<ReportPage> out = pages();
    ASSERT_GE(out.size(), 2u);
    int listed = 0;
    for (size_t p = 0; p < out.size(); ++p) {
        const std::vector<QString> texts = textsOf(out[p]);
        EXPECT_GE(indexOf(texts, QStringLiteral("Page %1").arg(p + 1, 4)), 0);
        EXPECT_EQ(texts.front(), "Password Health");
        listed += int(std::count_if(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith("Service "); }));
    }
    EXPECT_EQ(listed, 120);
}

} // namespace
