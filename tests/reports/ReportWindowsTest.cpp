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

TEST(ReportFontPreference, ALargeFontPushesRowsDownInsteadOfOverlapping) {
    testApp();
    ReportData data;
    data.add({{"joe", "Service with a rather long name", "someone@example.com", "Pw-1234567890-abc",
               [](Record& r) {
                   r.setText("P_:URL", QString("https://www.example.com/a/rather/long/address/to/sign/in"));
                   r.setText("P_:NOTES", QString("First line of the notes\nSecond line, which is long enough to wrap"));
                   r.setText("P_:WINDOWTITLETOLOCATE", QString("Sign in to the service - Browser"));
               }},
              {"joe", "Zeta", "z", "pz", {}}});
    ProgramValues values;
    values.fontType = "DejaVu Sans";
    values.fontSize = "16";
    QtTextMeasure measure;
    for (ReportKind kind : kAllReports) {
        ReportLayout layout = reportLayout(kind);
        applyReportFont(layout, values);
        std::vector<ReportPage> pages;
        PageBuilder builder(layout, data.passwords.def(), measure, {1, 80000, 1},
                            [&](ReportPage&& page) { pages.push_back(std::move(page)); });
        ReportRun run(data.passwords, "joe", data.passwords.def().keyIndex(layout.key), builder);
        ASSERT_EQ(run.start(), ReportRun::Start::Found);
        while (run.step(25)) {}
        builder.finish();
        // Within the body, no two lines of one column overlap.
        for (const ReportPage& page : pages)
            for (const PlacedText& a : page.texts)
                for (const PlacedText& b : page.texts) {
                    if (&a == &b || a.x != b.x || a.y < layout.bodyTop || b.y < layout.bodyTop) continue;
                    EXPECT_TRUE(a.y + a.height <= b.y || b.y + b.height <= a.y)
                        << a.text.toStdString() << " / " << b.text.toStdString();
                }
        if (kind == ReportKind::Master) {
            const QString file = data.path("large-font.pdf");
            ASSERT_EQ(writePdfFile(pages, file, layout.title), QString());
            const QString folder = QCoreApplication::applicationDirPath() + "/output";
            QDir().mkpath(folder);
            QProcess::execute("pdftoppm", {"-png", "-r", "50", "-f", "1", "-l", "1", "-singlefile", file,
                                           folder + "/MasterReport-large-font"});
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
