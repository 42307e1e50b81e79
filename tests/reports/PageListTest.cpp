// The pages of the five reports, checked as placed texts without a printer.
#include "ReportTestSupport.h"
#include "framework/Pictures.h"
#include "reports/PageBuilder.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportRun.h"
#include <QCoreApplication>
#include <algorithm>

using namespace ql;
using namespace ql::test;

namespace {

struct PageRun {
    ReportLayout layout;
    std::vector<ReportPage> pages;
    int percentAtEnd = 0;
    std::vector<int> percents;  // after every batch
};

PageRun runReport(ReportKind kind, ReportData& data, const QString& user, const QString& dateFormat = {}) {
    PageRun run{reportLayout(kind), {}, 0, {}};
    applyDatePreference(run.layout, dateFormat);
    FixedPitchMeasure measure;
    PageBuilder builder(run.layout, data.passwords.def(), measure, {1, 80000, 4'500'001},
                        [&](ReportPage&& page) { run.pages.push_back(std::move(page)); });
    ReportRun reader(data.passwords, user, data.passwords.def().keyIndex(run.layout.key), builder);
    if (reader.start() == ReportRun::Start::Found) {
        while (reader.step(25)) run.percents.push_back(reader.percent());
        run.percentAtEnd = reader.percent();
    }
    builder.finish();
    return run;
}

const PlacedText* findText(const ReportPage& page, const QString& text) {
    for (const PlacedText& t : page.texts)
        if (t.text == text) return &t;
    return nullptr;
}

// The texts of one column (controls starting at x) from top to bottom, page after page.
QStringList column(const std::vector<ReportPage>& pages, int x, int fromY = 0) {
    QStringList out;
    for (const ReportPage& page : pages) {
        std::vector<PlacedText> texts;
        for (const PlacedText& t : page.texts)
            if (t.x == x && t.y >= fromY) texts.push_back(t);
        std::stable_sort(texts.begin(), texts.end(), [](auto& a, auto& b) { return a.y < b.y; });
        for (const PlacedText& t : texts) out << t.text;
    }
    return out;
}

QString two(int i) { return QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')); }

// Sixty entries of joe, stored out of every order, and ten of ann.
std::vector<Entry> sixtyEntries() {
    std::vector<Entry> entries;
    for (int k = 0; k < 60; ++k) {
        const int i = (k * 37) % 60; // a permutation of 0..59
        entries.push_back({"joe", "Service " + two(i), "login" + two(59 - i), "pw" + two(i) + "-secret",
                           [i](Record& r) {
                               r.setText("P_:URL", "https://site" + two((i * 7) % 60) + ".example");
                               r.setText("P_:NOTES", "note " + two(i));
                               r.setNumber("P_:LASTCHANGEDATE", 80000 + (i * 13) % 60);
                               r.setNumber("P_:LASTCHANGETIME", 100 + i);
                           }});
    }
    for (int i = 0; i < 10; ++i) entries.push_back({"ann", "Ann " + two(i), "ann", "annpw" + two(i), {}});
    return entries;
}

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override { data.add(sixtyEntries()); }
    ReportData data;
};

} // namespace

TEST_F(PageListTest, EveryReportOfSixtyEntriesFillsItsPagesInItsOrder) {
    struct Expect {
        ReportKind kind;
        int pages;
        int serviceX;          // of the service column, on the page
        QStringList labels;
    };
    const Expect expects[] = {
        {ReportKind::ByService, 4, 1050, {"Service", "URL", "Name", "Password", "Notes"}},
        {ReportKind::ByUrl, 4, 1050, {"Service", "URL", "Name", "Password", "Notes"}},
        {ReportKind::ByName, 3, 1104, {"Service", "URL", "Name", "Password", "Notes"}},
        {ReportKind::ByLastChange, 2, 1104, {"Service", "Name", "Last Change Date", "Time"}},
        {ReportKind::Master, 8, 594, {"URL", "Service", "Name", "Password"}},
    };
    for (const Expect& e : expects) {
        SCOPED_TRACE(reportMenuText(e.kind).toStdString());
        const PageRun run = runReport(e.kind, data, "joe");
        ASSERT_EQ(int(run.pages.size()), e.pages);
        for (size_t p = 0; p < run.pages.size(); ++p) {
            const ReportPage& page = run.pages[p];
            const PlacedText* title = findText(page, run.layout.title);
            ASSERT_TRUE(title);
            EXPECT_EQ(title->y, run.layout.header.y + run.layout.header.controls[0].y);
            for (const QString& label : e.labels) EXPECT_TRUE(findText(page, label)) << label.toStdString();
            const QString number = e.kind == ReportKind::Master ? QStringLiteral("%1").arg(p + 1, 4)
                                                                : QStringLiteral("Page %1").arg(p + 1, 4);
            const PlacedText* footer = findText(page, number);
            ASSERT_TRUE(footer) << number.toStdString();
            EXPECT_EQ(footer->y, run.layout.footer.y + run.layout.footer.controls.back().y);
            // Nothing of the entries outside the body.
            const int bodyEnd = run.layout.bodyTop + run.layout.bodyHeight;
            for (const PlacedText& t : page.texts)
                if (t.y >= run.layout.bodyTop && t.y < run.layout.footer.y) EXPECT_LE(t.y + t.height, bodyEnd);
        }
        // Every entry of joe once, none of ann, in the report's order.
        const QStringList services = column(run.pages, e.serviceX, run.layout.bodyTop).filter("Service ");
        ASSERT_EQ(services.size(), 60);
        if (e.kind == ReportKind::ByService || e.kind == ReportKind::Master)
            EXPECT_TRUE(std::is_sorted(services.begin(), services.end()));
        // A full page has no room for one more band.
        const int perPage = run.layout.bodyHeight / run.layout.detail.height;
        EXPECT_EQ(e.pages, (60 + perPage - 1) / perPage);
    }
}

TEST_F(PageListTest, FieldsStandWhereTheLayoutPutsThem) {
    // The first entry by service is "Service 00", login59, pw00-secret.
    const PageRun byService = runReport(ReportKind::ByService, data, "joe");
    const ReportPage& page = byService.pages[0];
    struct At { QString text; int x, y; };
    const At expected[] = {
        {"Passwords by Service", 1000, 1020}, {"Service", 1050, 1310}, {"URL", 2550, 1310},
        {"Name", 4050, 1310}, {"Password", 5550, 1310}, {"Notes", 5552, 1500},
        {"Service 00", 1050, 1770}, {"https://site00.example", 2550, 1770}, {"login59", 4050, 1770},
        {"pw00-secret", 5550, 1770}, {"note 00", 5552, 1970}, {"Service 01", 1050, 1770 + 460},
        {"Page    1", 6250, 9020},
    };
    for (const At& at : expected) {
        const PlacedText* t = findText(page, at.text);
        ASSERT_TRUE(t) << at.text.toStdString();
        EXPECT_EQ(t->x, at.x) << at.text.toStdString();
        EXPECT_EQ(t->y, at.y) << at.text.toStdString();
    }
    ASSERT_EQ(page.boxes.size(), 1u);
    EXPECT_EQ(page.boxes[0].y, 1260);
    EXPECT_EQ(page.boxes[0].height, 460);

    const PageRun master = runReport(ReportKind::Master, data, "joe");
    const ReportPage& first = master.pages[0];
    const At masterExpected[] = {
        {"Master Password Report", 500, 520}, {"Service 00", 594, 1261}, {"https://site00.example", 2531, 1261},
        {"login59", 594, 1417}, {"pw00-secret", 2531, 1417}, {"Last Changed:", 5354, 1417},
        {"Settings for Send:", 1552, 1584}, {"Wait:", 3271, 1584}, {"Title:", 4125, 1584},
        {"No Repeat:", 2969, 1729}, {"Send:", 4063, 1729}, {"note 00", 2531, 1938},
        {"Page:", 7250, 10260}, {formatDate(80000, "D3"), 583, 10260}, {"12:30PM", 1604, 10260},
    };
    for (const At& at : masterExpected) {
        const PlacedText* t = findText(first, at.text);
        ASSERT_TRUE(t) << at.text.toStdString();
        EXPECT_EQ(t->x, at.x) << at.text.toStdString();
        EXPECT_EQ(t->y, at.y) << at.text.toStdString();
    }
    ASSERT_FALSE(first.checks.empty());
    EXPECT_EQ(first.checks[0].label.text, "Monitor");
}

TEST_F(PageListTest, ColumnsCutTheirValuesWhereTheReportSays) {
    ReportData own;
    const QString longName = QString("n").repeated(40) + "END";
    const QString longPassword = QString("p").repeated(45) + "TAIL";
    own.add({{"kim", "S", longName, longPassword,
              [](Record& r) { r.setText("P_:URL", QString("u").repeated(120)); }}});
    const PageRun byService = runReport(ReportKind::ByService, own, "kim");
    EXPECT_EQ(column(byService.pages, 5550, 1720).join(""), longPassword.left(20));
    EXPECT_EQ(column(byService.pages, 4050, 1720).join(""), longName.left(30));
    EXPECT_EQ(column(byService.pages, 2550, 1720).join(""), QString("u").repeated(90));
    const PageRun byUrl = runReport(ReportKind::ByUrl, own, "kim");
    EXPECT_EQ(column(byUrl.pages, 5550, 1720).join(""), longPassword.left(20));

    // By name and the master report print them whole, over as many lines as they need.
    const PageRun byName = runReport(ReportKind::ByName, own, "kim");
    EXPECT_EQ(column(byName.pages, 4021, 1688).join(""), longName);
    EXPECT_EQ(column(byName.pages, 5479, 1688).join(""), longPassword);
    const PageRun master = runReport(ReportKind::Master, own, "kim");
    EXPECT_EQ(column(master.pages, 594, 1219).join(""), "S" + longName);
    QStringList passwordColumn = column(master.pages, 2531, 1300);
    EXPECT_TRUE(passwordColumn.join("").startsWith(longPassword));
}

TEST_F(PageListTest, TheDatePreferenceReplacesTheLastChangeDatePictureOnly) {
    ReportData own;
    own.add({{"kim", "S", "n", "p", [](Record& r) { r.setNumber("P_:LASTCHANGEDATE", 80000); }}});
    const auto dates = [&](ReportKind kind, const QString& preference) {
        QStringList texts;
        for (const ReportPage& page : runReport(kind, own, "kim", preference).pages)
            for (const PlacedText& t : page.texts) texts << t.text;
        return texts;
    };
    EXPECT_TRUE(dates(ReportKind::ByLastChange, "").contains(formatDate(80000, "d4")));
    EXPECT_TRUE(dates(ReportKind::ByLastChange, "d1").contains(formatDate(80000, "d1")));
    EXPECT_FALSE(dates(ReportKind::ByLastChange, "d1").contains(formatDate(80000, "d4")));
    // The master report's date is not among its first four fields.
    EXPECT_TRUE(dates(ReportKind::Master, "d1").contains(formatDate(80000, "d4")));
}

TEST_F(PageListTest, TheUserIsFoundWhateverTheCaseOfTheStoredName) {
    ReportData own;
    own.add({{"JOE", "Alpha", "a", "pa", {}}, {"Joe", "Beta", "b", "pb", {}}, {"joe", "Gamma", "c", "pc", {}},
             {"joey", "Delta", "d", "pd", {}}, {"ann", "Epsilon", "e", "pe", {}}});
    const PageRun run = runReport(ReportKind::ByService, own, "jOe");
    EXPECT_EQ(column(run.pages, 1050, 1720), (QStringList{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(run.percentAtEnd, 60); // three of the file's five entries

    const PageRun nobody = runReport(ReportKind::Master, own, "zed");
    EXPECT_TRUE(nobody.pages.empty());
}

TEST_F(PageListTest, ThePercentageCountsAgainstEveryEntryOfTheFile) {
    const PageRun run = runReport(ReportKind::ByService, data, "joe");
    ASSERT_FALSE(run.percents.empty());
    for (int percent : run.percents) EXPECT_LT(percent, 100);
    EXPECT_EQ(run.percentAtEnd, 60 * 100 / 70);
    ReportData alone;
    alone.add({{"kim", "S", "n", "p", {}}});
    EXPECT_EQ(runReport(ReportKind::ByService, alone, "kim").percentAtEnd, 100);
}

TEST_F(PageListTest, ANoteLongerThanAPageIsSplitOverPagesAndKeptWhole) {
    QString note;
    for (int i = 0; note.size() < 10'000; ++i) note += QStringLiteral("word%1 ").arg(i, 4, 10, QLatin1Char('0'));
    note = note.left(10'000);
    ReportData own;
    own.add({{"kim", "First", "a", "pa", {}},
             {"kim", "Long", "b", "pb", [&](Record& r) { r.setText("P_:NOTES", note); r.setText("P_:MORENOTES", note); }},
             {"kim", "Zulu", "c", "pc", {}}});
    for (ReportKind kind : {ReportKind::ByService, ReportKind::ByName, ReportKind::Master}) {
        SCOPED_TRACE(reportMenuText(kind).toStdString());
        const PageRun run = runReport(kind, own, "kim");
        ASSERT_GE(run.pages.size(), 3u); // the note alone is taller than two pages
        const ReportControl& notes = *std::find_if(
            run.layout.detail.controls.begin(), run.layout.detail.controls.end(),
            [](const ReportControl& c) { return c.field == "P_:NOTES"; });
        const QString printed = column(run.pages, run.layout.detail.x + notes.x, run.layout.bodyTop).join("");
        EXPECT_TRUE(printed.contains(note));
        if (kind == ReportKind::Master) EXPECT_TRUE(printed.contains(note + note)); // and the more notes
        const int bodyEnd = run.layout.bodyTop + run.layout.bodyHeight;
        for (const ReportPage& page : run.pages)
            for (const PlacedText& t : page.texts)
                if (t.y >= run.layout.bodyTop && t.y < run.layout.footer.y) EXPECT_LE(t.y + t.height, bodyEnd);
        EXPECT_TRUE(findText(run.pages.back(), "Zulu"));
    }
}

// With a large font the header and footer take more lines: the body starts
// below the header's last line and ends above the footer's first, which
// keeps its bottom where the layout has it.
TEST_F(PageListTest, TallerFixedBandsLeaveTheBodyLessRoom) {
    for (ReportKind kind : kAllReports) {
        ReportLayout layout = reportLayout(kind);
        // Each band's texts are told apart by the name of their font.
        for (auto [band, name] : {std::pair{&layout.header, "header"}, {&layout.detail, "body"}, {&layout.footer, "footer"}})
            for (ReportControl& c : band->controls) c.font = {QString::fromLatin1(name), 24};
        FixedPitchMeasure measure;
        std::vector<ReportPage> pages;
        PageBuilder builder(layout, data.passwords.def(), measure, {1, 80000, 4'500'001},
                            [&](ReportPage&& page) { pages.push_back(std::move(page)); });
        ReportRun reader(data.passwords, "joe", data.passwords.def().keyIndex(layout.key), builder);
        ASSERT_EQ(reader.start(), ReportRun::Start::Found);
        while (reader.step(25)) {}
        builder.finish();
        const int footerBottom = layout.footer.y + layout.footer.height;
        for (const ReportPage& page : pages) {
            int headerBottom = 0, footerTop = page.height, lowest = 0;
            std::vector<const PlacedText*> body;
            for (const PlacedText& t : page.texts) {
                if (t.font.family == "header") headerBottom = std::max(headerBottom, t.y + t.height);
                else if (t.font.family == "footer") footerTop = std::min(footerTop, t.y);
                else body.push_back(&t);
                lowest = std::max(lowest, t.y + t.height);
            }
            EXPECT_FALSE(body.empty());
            EXPECT_GT(headerBottom, layout.bodyTop) << layout.procedure.toStdString();
            EXPECT_LT(footerTop, layout.footer.y) << layout.procedure.toStdString();
            EXPECT_LE(lowest, footerBottom + 50) << layout.procedure.toStdString();
            for (const PlacedText* t : body) {
                EXPECT_GE(t->y, headerBottom) << t->text.toStdString();
                EXPECT_LE(t->y + t->height, footerTop) << t->text.toStdString();
            }
        }
    }
}
