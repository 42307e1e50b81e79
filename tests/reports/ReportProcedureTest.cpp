// A report from the menu to its end: the questions, the user, the progress
// ticks with their cancel, and what reaches the preview, the printer or a PDF.
#include "ReportTestSupport.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportProcedure.h"
#include "platform/core/PrivateFile.h"
#include <QFile>

using namespace ql;
using namespace ql::test;

namespace {

constexpr auto Yes = PromptButton::Yes;
constexpr auto No = PromptButton::No;

class ReportProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<Entry> entries;
        for (int i = 0; i < 40; ++i)
            entries.push_back({"joe", QStringLiteral("Service %1").arg(i, 2, 10, QLatin1Char('0')), "joe", "pw", {}});
        entries.push_back({"ann", "Other", "ann", "pw", {}});
        data.add(entries);
    }

    // Runs one report; `cancelAtPage` presses Cancel once that many pages were begun.
    void run(ReportKind kind, int cancelAtPage = 0) {
        ReportContext context{prompter, printer, measure, clock,
                              [this](int message, const DataTable&) { fileErrors.push_back(message); }};
        ReportProcedure::Hooks hooks;
        hooks.openPasswords = [](DataTable& t) { return t.open() == 0; };
        hooks.selectUser = [this](Record& user) {
            user.setText("U_:NAME", userName);
            return userName.isEmpty() ? 2 : 1;
        };
        hooks.showProgress = [this, cancelAtPage](ReportSession& session) {
            titles.push_back(session.windowTitle());
            percents.push_back(session.percentText());
            while (session.tick()) {
                percents.push_back(session.percentText());
                if (cancelAtPage > 0 && session.pagesBegun() >= cancelAtPage) {
                    pagesAtCancel = session.pagesBegun();
                    if (session.cancelRequested()) break;
                }
            }
            percents.push_back(session.percentText());
            printedAtEnd = session.printed();
        };
        ReportProcedure procedure(context, files, hooks);
        procedure.run(reportLayout(kind), ReportStrings{});
    }

    QStringList askedTitles() const {
        QStringList out;
        for (const Prompt& p : prompter.asked) out << p.title;
        return out;
    }

    ReportData data;
    ScriptedPrompter prompter;
    ScriptedFileDialogs files;
    RecordingPrintTarget printer;
    FixedPitchMeasure measure;
    FixedClock clock;
    QString userName = "joe";
    std::vector<int> fileErrors;
    QStringList titles, percents;
    int printedAtEnd = -1;
    int pagesAtCancel = 0;
};

} // namespace

TEST_F(ReportProcedureTest, ThePreviewQuestionChoosesTheModeOrEndsTheReport) {
    prompter.answers = {PromptButton::Cancel};
    run(ReportKind::Master);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Preview");
    EXPECT_EQ(prompter.asked[0].text, "Do you wish to PREVIEW this Report?");
    EXPECT_EQ(prompter.asked[0].buttons, int(Yes) | int(No) | int(PromptButton::Cancel));
    EXPECT_EQ(prompter.asked[0].defaultButton, Yes);
    EXPECT_TRUE(titles.isEmpty());

    prompter.answers = {Yes};
    run(ReportKind::ByLastChange);
    EXPECT_EQ(titles.last(), "Generating Report");
    ASSERT_EQ(printer.previews.size(), 1u);
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(percents.first(), "  0% Completed");
    EXPECT_EQ(percents.last(), " 97% Completed"); // 40 of the file's 41 entries

    prompter.answers = {No};
    run(ReportKind::Master);
    EXPECT_EQ(titles.last(), "Printing Report");
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].size(), 5u); // eight entries a page
}

TEST_F(ReportProcedureTest, ReportsWithoutAPreviewPrintStraightAway) {
    run(ReportKind::ByService);
    EXPECT_TRUE(prompter.asked.empty());
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].size(), 3u);
    EXPECT_EQ(printedAtEnd, 40);
    EXPECT_TRUE(printer.previews.empty());
}

TEST_F(ReportProcedureTest, NothingToPrintOrPreviewWithoutEntriesOrWithoutAUser) {
    userName = "nobody";
    run(ReportKind::ByName);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "NOTE...");
    EXPECT_EQ(prompter.asked[0].text, "Nothing to Print.");
    EXPECT_TRUE(printer.jobs.empty());

    prompter.asked.clear();
    prompter.answers = {Yes};
    run(ReportKind::Master);
    EXPECT_EQ(askedTitles(), (QStringList{"Preview", "NOTE..."}));
    EXPECT_EQ(prompter.asked[1].text, "Nothing to Preview.");
    EXPECT_TRUE(printer.previews.empty());

    // A cancelled user choice says the same, before any reading.
    prompter.asked.clear();
    userName.clear();
    titles.clear();
    run(ReportKind::ByUrl);
    EXPECT_EQ(askedTitles(), (QStringList{"NOTE..."}));
    EXPECT_TRUE(titles.isEmpty());
}

TEST_F(ReportProcedureTest, CancellingAPreviewRunCanPreviewThePagesSoFar) {
    // Preview, then "Cancel" at the second page: sure? Yes; preview so far? Yes.
    prompter.answers = {Yes, Yes, Yes};
    run(ReportKind::Master, 2);
    ASSERT_EQ(prompter.asked.size(), 3u);
    EXPECT_EQ(prompter.asked[1].title, "Question");
    EXPECT_EQ(prompter.asked[1].text, "Are you sure you want to CANCEL this Report?");
    EXPECT_EQ(prompter.asked[1].defaultButton, No);
    EXPECT_EQ(prompter.asked[2].text, "Report Cancellation Requested!\n\nPreview Report generated so far?");
    EXPECT_EQ(prompter.asked[2].buttons, int(Yes) | int(No) | int(PromptButton::Ignore));
    ASSERT_EQ(printer.previews.size(), 1u);
    EXPECT_GE(pagesAtCancel, 2);
    EXPECT_EQ(int(printer.previews[0].size()), pagesAtCancel);
    EXPECT_LT(printedAtEnd, 40);
    int services = 0;
    for (const QString& text : textsOf(printer.previews[0])) services += text.startsWith("Service ");
    EXPECT_EQ(services, printedAtEnd); // every entry read so far, and only those

    // No stops without output; Ignore and a first No go on to the end.
    prompter.answers = {Yes, Yes, No};
    run(ReportKind::Master, 2);
    EXPECT_EQ(printer.previews.size(), 1u);
    prompter.answers = {Yes, Yes, PromptButton::Ignore};
    run(ReportKind::Master, 2);
    ASSERT_EQ(printer.previews.size(), 2u);
    EXPECT_EQ(printer.previews[1].size(), 5u);
    prompter.answers = {Yes, No};
    run(ReportKind::Master, 2);
    ASSERT_EQ(printer.previews.size(), 3u);
    EXPECT_EQ(printer.previews[2].size(), 5u);
}

TEST_F(ReportProcedureTest, CancellingAPrintRunStopsWithoutFurtherOutput) {
    printer.printerCopyCount = 2; // queued: the printer cannot make copies
    prompter.answers = {Yes};
    run(ReportKind::ByService, 2);
    EXPECT_EQ(askedTitles(), (QStringList{"Question"}));
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_FALSE(printer.jobOpen);

    printer.printerCopyCount = 1; // straight to the printer: the job is dropped
    prompter.answers = {Yes};
    run(ReportKind::ByService, 2);
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(printer.aborted, 1);
}

TEST_F(ReportProcedureTest, CopiesAreMadeByThePrinterOrByRepeatingThePages) {
    printer.printerCopyCount = 2;
    run(ReportKind::ByService);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].size(), 6u); // three pages, twice
    EXPECT_EQ(printer.printerCopyCount, 2); // the printer's own setting is back

    printer.jobs.clear();
    printer.printerCopies = true;
    run(ReportKind::ByService);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].size(), 3u);

    // Printing from the preview takes the copies chosen there.
    printer.jobs.clear();
    printer.copiesSet.clear();
    printer.printerCopies = false;
    printer.printerCopyCount = 1;
    printer.previewAnswer = {true, 3};
    prompter.answers = {Yes};
    run(ReportKind::Master);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].size(), 15u);
    EXPECT_EQ(printer.copiesSet, (std::vector<int>{1, 1}));
}

TEST_F(ReportProcedureTest, WithoutAPrinterTheReportIsOfferedAsAPdf) {
    printer.printer = false;
    prompter.answers = {Yes, Yes};
    files.answers = {data.path("joe-report")};
    run(ReportKind::ByName);
    EXPECT_EQ(askedTitles(), (QStringList{"WARNING!", "Printing Failed"}));
    EXPECT_TRUE(prompter.asked[0].text.startsWith("Warning:  No DEFAULT Printer Driver Found!\n\n"));
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].request.title, "Save Report as PDF");
    ASSERT_EQ(printer.pdfs.size(), 1u);
    EXPECT_EQ(printer.pdfs[0].first, data.path("joe-report.pdf"));
    EXPECT_EQ(printer.pdfs[0].second, 2u);

    // Answering No to the warning ends the report without pages.
    prompter.asked.clear();
    prompter.answers = {No};
    run(ReportKind::ByName);
    EXPECT_EQ(askedTitles(), (QStringList{"WARNING!"}));
    EXPECT_EQ(printer.pdfs.size(), 1u);
}

TEST_F(ReportProcedureTest, APrinterThatFailsIsReportedAndTheWholeReportOfferedAsAPdf) {
    printer.failToBegin = true;
    prompter.answers = {Yes};
    files.answers = {data.path("a.pdf")};
    run(ReportKind::ByService);
    ASSERT_EQ(askedTitles(), (QStringList{"Printing Failed"}));
    EXPECT_TRUE(prompter.asked[0].text.contains("The printer is out of paper."));
    ASSERT_EQ(printer.pdfs.size(), 1u);
    EXPECT_EQ(printer.pdfs[0].second, 3u);

    // Failing after the first page: the PDF still has every page.
    printer.failToBegin = false;
    printer.failAfterPages = 1;
    prompter.asked.clear();
    prompter.answers = {Yes};
    files.answers = {data.path("b.pdf")};
    run(ReportKind::ByService);
    EXPECT_EQ(askedTitles(), (QStringList{"Printing Failed"}));
    ASSERT_EQ(printer.pdfs.size(), 2u);
    EXPECT_EQ(printer.pdfs[1].second, 3u);
    EXPECT_TRUE(printer.jobs.empty());
}

TEST_F(ReportProcedureTest, TheReportTextsComeFromTheSettingsFileWithTheirDefaults) {
    QFile ini(data.path(kReportStringsFile));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Other]\nNothingToPrntText=not this one\n"
              "[DISPLAY STRINGS 2.0]\n"
              "NothingToPrntTitle=Note\n"
              "NothingToPrntText=No entries.|Nothing was printed.\n"
              "ProgWinTitlePrnt=" + QByteArray(80, 'T') + "\n"
              "CancelPrvwPartialText=" + QByteArray(200, 'Q') + "\n");
    ini.close();
    const ReportStrings strings = loadReportStrings(kReportStringsFile, QString(), "Ask", "Preview it?");
    EXPECT_EQ(strings.nothingToPrintTitle, "Note");
    EXPECT_EQ(strings.progressTitlePrint, QString(64, 'T'));
    EXPECT_EQ(strings.cancelPartialText, QString(128, 'Q'));
    EXPECT_EQ(strings.nothingToPreviewText, "Nothing to Preview.");
    EXPECT_EQ(strings.askPreviewTitle, "Ask");
    EXPECT_EQ(strings.askPreviewText, "Preview it?");
    EXPECT_EQ(loadReportStrings("missing.ini", {}, "Preview", "q").noPrinterTitle, "WARNING!");

    userName = "nobody";
    ReportContext context{prompter, printer, measure, clock, {}};
    ReportProcedure::Hooks hooks{[](DataTable& t) { return t.open() == 0; },
                                 [this](Record& user) { user.setText("U_:NAME", userName); return 1; },
                                 [](ReportSession& session) { while (session.tick()) {} }};
    ReportProcedure(context, files, hooks).run(reportLayout(ReportKind::ByService), strings);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Note");
    EXPECT_EQ(prompter.asked[0].text, "No entries.\nNothing was printed.");
}

TEST_F(ReportProcedureTest, APdfIsNeverWrittenOverTheDataFolderOwnFiles) {
    const std::vector<ReportPage> pages(2);
    files.answers = {data.path("quillock.key"), data.path("QL_DATA.qld"), "POSITION.INI",
                     data.path("quillock.switch"), data.path("joe")};
    EXPECT_TRUE(savePagesAsPdf(pages, "Report.pdf", files, prompter, printer));
    EXPECT_EQ(askedTitles(), (QStringList{"File Refused", "File Refused", "File Refused", "File Refused"}));
    EXPECT_TRUE(prompter.asked[0].text.startsWith(data.path("quillock.key") + "\n"));
    ASSERT_EQ(printer.pdfs.size(), 1u);
    EXPECT_EQ(printer.pdfs[0].first, data.path("joe.pdf"));
    EXPECT_EQ(files.asked[1].request.initialName, data.path("quillock.key"));
}

// A FAT USB stick cannot keep the file private: asked first, No asks for
// another file.
TEST_F(ReportProcedureTest, APdfOnADriveWithoutModesIsWrittenOnlyAfterAWarning) {
    const std::vector<ReportPage> pages(1);
    private_file::simulateModelessFileSystem(true);
    files.answers = {data.path("stick"), data.path("stick")};
    prompter.answers = {No, Yes};
    const bool saved = savePagesAsPdf(pages, "Report.pdf", files, prompter, printer);
    private_file::simulateModelessFileSystem(false);
    EXPECT_TRUE(saved);
    EXPECT_EQ(askedTitles(), (QStringList{"File Readable by Others", "File Readable by Others"}));
    EXPECT_TRUE(prompter.asked[0].text.contains("anyone holding the drive can read it"));
    ASSERT_EQ(printer.pdfs.size(), 1u);
    EXPECT_TRUE(private_file::canBePrivate(data.path("x"))) << "a real folder keeps files private";
}
