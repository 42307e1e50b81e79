// The report windows: the preview with its paging, printing and saving, the
// progress window with its cancel, and the report font of the preferences.
#include "ReportTestSupport.h"
#include "reports/PageBuilder.h"
#include "reports/ReportRun.h"
#include "reports/ReportSession.h"
#include "reports/render/PdfFile.h"
#include "reports/render/QtTextMeasure.h"
#include "reports/views/PrintSetupDialog.h"
#include "reports/views/ReportMenu.h"
#include "reports/views/ReportPreviewDialog.h"
#include "reports/views/ReportProgressWindow.h"
#include "signin/SettingsKeys.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/TestApp.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace ql;
using namespace ql::test;

namespace {

std::vector<ReportPage> threePages() {
    std::vector<ReportPage> pages(3);
    for (int i = 0; i < 3; ++i) pages[size_t(i)].texts.push_back({1000, 1000, 3000, 135, QString::number(i + 1), {}, {}});
    return pages;
}

QString positionOf(const ReportPreviewDialog& dialog) {
    return dialog.findChild<QLabel*>("position")->text();
}

} // namespace

TEST(ReportPreviewWindow, PagesThroughPrintsWithCopiesAndSaves) {
    testApp();
    const std::vector<ReportPage> pages = threePages();
    ReportPreviewDialog dialog(pages, 100, "Master Password Report", true);
    EXPECT_EQ(dialog.windowTitle(), "Report Preview - Master Password Report");
    EXPECT_EQ(positionOf(dialog), "Page 1 of 3");
    dialog.findChild<QPushButton*>("next")->click();
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    EXPECT_EQ(positionOf(dialog), "Page 3 of 3");
    QTest::keyClick(&dialog, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(dialog.currentPage(), 0);

    size_t saved = 0;
    dialog.setSaver([&](const std::vector<ReportPage>& shown) { saved = shown.size(); });
    dialog.findChild<QPushButton*>("savePdf")->click();
    EXPECT_EQ(saved, 3u);
    EXPECT_FALSE(dialog.result().print);

    dialog.findChild<QSpinBox*>()->setValue(2);
    dialog.findChild<QPushButton*>("print")->click();
    EXPECT_TRUE(dialog.result().print);
    EXPECT_EQ(dialog.result().copies, 2);

    ReportPreviewDialog noPrinter(pages, 100, "x", false);
    EXPECT_FALSE(noPrinter.findChild<QPushButton*>("print")->isEnabled());
    EXPECT_TRUE(noPrinter.findChild<QPushButton*>("savePdf")->isEnabled());
}

class ReportProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::vector<Entry> entries;
        for (int i = 0; i < 1200; ++i) entries.push_back({"joe", QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')), "n", "p", {}});
        data.add(entries);
    }
    ReportSession session(ReportMode mode) {
        return ReportSession(layout, mode, data.passwords, "joe", ReportStrings{},
                             {prompter, printer, measure, clock, [](int, const DataTable&) {}});
    }

    ReportData data;
    ReportLayout layout = reportLayout(ReportKind::Master);
    ScriptedPrompter prompter;
    RecordingPrintTarget printer;
    FixedPitchMeasure measure;
    FixedClock clock;
};

TEST_F(ReportProgressTest, TheWindowRunsTheReportToItsEndAndClosesItself) {
    ReportSession run = session(ReportMode::Preview);
    ReportProgressWindow window(run);
    EXPECT_EQ(window.windowTitle(), "Generating Report");
    window.run();
    EXPECT_EQ(run.end(), ReportSession::End::Completed);
    EXPECT_EQ(run.printed(), 1200);
    EXPECT_EQ(window.findChild<QLabel*>("percent")->text(), "100% Completed");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(ReportProgressTest, CancelAsksAndGoesOnOrStops) {
    ReportSession run = session(ReportMode::Print);
    ReportProgressWindow window(run);
    EXPECT_EQ(window.windowTitle(), "Printing Report");
    prompter.answers = {PromptButton::No, PromptButton::Yes};
    // Escape answered No goes on; "Cancel" answered Yes stops.
    ModalAnswers answers({{"Printing Report", [](QWidget& w) {
                               QTest::keyClick(&w, Qt::Key_Escape);
                               EXPECT_TRUE(w.isVisible());
                               w.findChild<QPushButton*>("cancel")->click();
                           }}});
    window.run();
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].text, "Are you sure you want to CANCEL this Report?");
    EXPECT_EQ(run.end(), ReportSession::End::Stopped);
    EXPECT_LT(run.printed(), 1200);
}

TEST(ReportFontPreference, TheChosenFontReplacesEveryControlsFont) {
    testApp();
    ProgramValues values;
    ReportLayout layout = reportLayout(ReportKind::ByService);
    applyReportFont(layout, values); // none chosen: the layout's own fonts
    EXPECT_EQ(layout.header.controls[0].font.family, "Arial");
    EXPECT_EQ(layout.header.controls[0].font.weight, 700);
    values.fontType = "DejaVu Serif";
    values.fontSize = "11";
    values.fontStyle = QString::number(400 + 4096); // italic
    values.fontColour = "#336699";
    applyReportFont(layout, values);
    layout.forEachControl([](const ReportControl& c) {
        EXPECT_EQ(c.font.family, "DejaVu Serif");
        EXPECT_EQ(c.font.points, 11);
        EXPECT_TRUE(c.font.italic);
        EXPECT_EQ(c.font.weight, 400);
        EXPECT_EQ(c.font.colour, 0x336699u);
    });
}

namespace {

// Where a text is drawn: from its first to its last non-blank character
// across, the font's height down.
QRectF inkOf(const PlacedText& t) {
    const QFontMetricsF metrics(qtFont(t.font));
    const double whole = metrics.horizontalAdvance(t.text);
    double x = t.align == TextAlign::Center ? t.x + (t.width - whole) / 2
               : t.align == TextAlign::Right ? t.x + t.width - whole
                                             : t.x;
    const QString trimmed = t.text.trimmed();
    x += metrics.horizontalAdvance(t.text.left(t.text.indexOf(trimmed)));
    return QRectF(x, t.y, metrics.horizontalAdvance(trimmed), metrics.ascent() + metrics.descent());
}

// Texts (check boxes with their labels included) that overlap another, cross
// the frame of a box or leave the paper.
QStringList faultsOn(const ReportPage& page) {
    std::vector<std::pair<QString, QRectF>> drawn;
    for (const PlacedText& t : page.texts) drawn.emplace_back(t.text, inkOf(t));
    for (const PlacedCheck& c : page.checks) {
        drawn.emplace_back(QStringLiteral("[check]"), QRectF(c.x, c.y, c.size, c.size));
        if (!c.label.text.isEmpty()) drawn.emplace_back(c.label.text, inkOf(c.label));
    }
    QStringList faults;
    const QRectF paper(0, 0, page.width, page.height);
    for (size_t i = 0; i < drawn.size(); ++i) {
        const QRectF a = drawn[i].second.adjusted(1, 1, -1, -1);
        if (!paper.contains(a)) faults << drawn[i].first + " leaves the paper";
        for (size_t j = i + 1; j < drawn.size(); ++j)
            if (a.intersects(drawn[j].second.adjusted(1, 1, -1, -1)))
                faults << drawn[i].first + " / " + drawn[j].first;
        for (const PlacedBox& b : page.boxes) {
            const QRectF frame(b.x, b.y, b.width, b.height);
            if (a.intersects(frame) && !frame.contains(a)) faults << drawn[i].first + " crosses a frame";
        }
    }
    return faults;
}

std::vector<ReportPage> pagesOf(ReportKind kind, ReportData& data, TextMeasure& measure, int points,
                                ReportLayout& layout) {
    ProgramValues values;
    values.fontType = "DejaVu Sans";
    values.fontSize = QString::number(points);
    layout = reportLayout(kind);
    applyReportFont(layout, values);
    std::vector<ReportPage> pages;
    PageBuilder builder(layout, data.passwords.def(), measure, {1, 80000, 4'500'001},
                        [&](ReportPage&& page) { pages.push_back(std::move(page)); });
    ReportRun run(data.passwords, "joe", data.passwords.def().keyIndex(layout.key), builder);
    EXPECT_EQ(run.start(), ReportRun::Start::Found);
    while (run.step(25)) {}
    builder.finish();
    return pages;
}

void saveFirstPage(const std::vector<ReportPage>& pages, const ReportData& data, const ReportLayout& layout,
                   const QString& name) {
    const QString file = data.path(name + ".pdf");
    ASSERT_EQ(writePdfFile(pages, file, layout.title), QString());
    const QString folder = QCoreApplication::applicationDirPath() + "/output";
    QDir().mkpath(folder);
    QProcess::execute("pdftoppm", {"-png", "-r", "50", "-f", "1", "-l", "1", "-singlefile", file,
                                   folder + "/" + name});
}

} // namespace

// Header, body and footer alike: a larger font makes rows taller and texts
// wrap or move aside, and no text ever runs into another.
TEST(ReportFontPreference, NoTextOfAnyPageOverlapsAnotherUpToLargeFonts) {
    testApp();
    ReportData data;
    std::vector<Entry> entries;
    for (int i = 0; i < 12; ++i)
        entries.push_back({"joe", QStringLiteral("Service %1 with a rather long name").arg(i),
                           "someone@example.com", "Pw-1234567890-abc", [](Record& r) {
                               r.setText("P_:URL", QString("https://www.example.com/a/rather/long/address/to/sign/in"));
                               r.setText("P_:NOTES", QString("First line of the notes\nSecond line, which is long enough to wrap"));
                               r.setText("P_:MORENOTES", QString("Added October 31, 2026  5:43PM"));
                               r.setText("P_:WINDOWTITLETOLOCATE", QString("Sign in to the service - Browser"));
                               r.setNumber("P_:MONITOR", 1);
                               r.setNumber("P_:SECONDSTOWAIT", 2);
                               r.setNumber("P_:DONOTREPEATSECONDS", 120);
                               r.setNumber("P_:LASTCHANGEDATE", 80000);
                               r.setNumber("P_:LASTCHANGETIME", 4'500'001);
                           }});
    data.add(entries);
    QtTextMeasure measure;
    for (int points : {8, 10, 13, 16, 19, 20, 24}) {
        for (ReportKind kind : kAllReports) {
            ReportLayout layout;
            const std::vector<ReportPage> pages = pagesOf(kind, data, measure, points, layout);
            for (size_t p = 0; p < pages.size(); ++p) {
                const QStringList faults = faultsOn(pages[p]);
                EXPECT_TRUE(faults.isEmpty()) << layout.procedure.toStdString() << " at " << points << " pt, page "
                                              << p + 1 << ": " << faults.join(" | ").toStdString();
            }
            if (kind == ReportKind::Master && (points == 10 || points == 20))
                saveFirstPage(pages, data, layout, QStringLiteral("MasterReport-%1pt").arg(points));
        }
    }
}

TEST(PrintSetupWindow, ShowsTheChoiceInForceAndGivesBackWhatIsSelected) {
    testApp();
    const QStringList printers{"Alpha", "QLTEST"};
    PrintSetupDialog first({}, printers, "QLTEST");
    EXPECT_EQ(first.windowTitle(), "Print Setup");
    auto* printer = first.findChild<QComboBox*>("printer");
    auto* paper = first.findChild<QComboBox*>("paperSize");
    ASSERT_TRUE(printer && paper);
    EXPECT_EQ(printer->currentText(), "QLTEST") << "nothing chosen yet: the default printer";
    EXPECT_EQ(first.choice().pageSize, QPageSize::Letter);
    printer->setCurrentText("Alpha");
    paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::A4)));
    const PrinterChoice chosen = first.choice();
    EXPECT_EQ(chosen.destination, "Alpha");
    EXPECT_EQ(chosen.pageSize, QPageSize::A4);

    // Opened again, it starts from what was chosen, not from the default.
    PrintSetupDialog again(chosen, printers, "QLTEST");
    EXPECT_EQ(again.choice().destination, "Alpha");
    EXPECT_EQ(again.choice().pageSize, QPageSize::A4);
}
