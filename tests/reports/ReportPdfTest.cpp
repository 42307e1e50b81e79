// Reports written to PDF with the installed fonts and read back with the
// poppler tools: every service, name and password of the user, in order.
#include "ReportTestSupport.h"
#include "reports/PageBuilder.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportRun.h"
#include "reports/render/PdfFile.h"
#include "reports/render/QtTextMeasure.h"
#include "tests/support/TestApp.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

using namespace ql;
using namespace ql::test;

namespace {

QString tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Where the test leaves its pictures for a person to look at.
QString outputFolder() {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/output");
    QDir().mkpath(folder);
    return folder;
}

struct Values {
    QString service, name, password, url;
    int date;
};

class ReportPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        // Every order differs: by service, by name, by URL and by date.
        for (int i = 0; i < 24; ++i) {
            const int j = (i * 7) % 24, k = (i * 11) % 24, m = (i * 5) % 24;
            values.push_back({QStringLiteral("Service%1").arg(i, 2, 10, QLatin1Char('0')),
                              QStringLiteral("login%1").arg(j, 2, 10, QLatin1Char('0')),
                              QStringLiteral("Pw%1xZq").arg(i * 37 % 100, 2, 10, QLatin1Char('0')),
                              QStringLiteral("https://site%1.example").arg(k, 2, 10, QLatin1Char('0')), 80000 + m});
        }
        std::vector<Entry> entries;
        for (const Values& v : values)
            entries.push_back({"Joe", v.service, v.name, v.password, [v](Record& r) {
                                   r.setText("P_:URL", v.url);
                                   r.setNumber("P_:LASTCHANGEDATE", v.date);
                                   r.setText("P_:NOTES", "Remember " + v.service);
                               }});
        entries.push_back({"ann", "Hidden", "annlogin", "AnnSecret", {}});
        data.add(entries);
    }

    std::vector<ReportPage> pages(ReportKind kind) {
        layout = reportLayout(kind);
        std::vector<ReportPage> out;
        PageBuilder builder(layout, data.passwords.def(), measure, {1, 80000, 4'500'001},
                            [&](ReportPage&& page) { out.push_back(std::move(page)); });
        ReportRun run(data.passwords, "joe", data.passwords.def().keyIndex(layout.key), builder);
        if (run.start() == ReportRun::Start::Found)
            while (run.step(25)) {}
        builder.finish();
        return out;
    }

    // The values in the report's order, each found after the one before it.
    static void expectInOrder(const QString& text, const QStringList& values) {
        qsizetype at = 0;
        for (const QString& value : values) {
            const qsizetype found = text.indexOf(value, at);
            ASSERT_GE(found, 0) << value.toStdString() << " missing or out of order";
            at = found + value.size();
        }
    }

    ReportData data;
    QtTextMeasure measure;
    ReportLayout layout;
    std::vector<Values> values;
};

} // namespace

TEST_F(ReportPdfTest, EveryReportReadsBackWithTheUsersEntriesInItsOrder) {
    struct Case {
        ReportKind kind;
        std::function<bool(const Values&, const Values&)> before;
        bool passwords;
    };
    const Case cases[] = {
        {ReportKind::ByService, [](auto& a, auto& b) { return a.service < b.service; }, true},
        {ReportKind::ByUrl, [](auto& a, auto& b) { return a.url < b.url; }, true},
        {ReportKind::ByName, [](auto& a, auto& b) { return a.name < b.name; }, true},
        {ReportKind::ByLastChange, [](auto& a, auto& b) { return a.date < b.date; }, false},
        {ReportKind::Master, [](auto& a, auto& b) { return a.service < b.service; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(reportMenuText(c.kind).toStdString());
        const std::vector<ReportPage> report = pages(c.kind);
        const QString file = data.path(layout.procedure + ".pdf");
        ASSERT_EQ(writePdfFile(report, file, layout.title), QString());
        EXPECT_EQ(QFileInfo(file).permissions(),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
        EXPECT_TRUE(tool("pdfinfo", {file}).contains(QRegularExpression(
            QStringLiteral("Pages:\\s+%1\\n").arg(report.size()))));

        std::vector<Values> ordered = values;
        std::stable_sort(ordered.begin(), ordered.end(), c.before);
        // Service, name and password stand on one line in every report but
        // the master report, which has two lines for them.
        const QString text = tool("pdftotext", {"-raw", file, "-"});
        EXPECT_TRUE(text.contains(layout.title));
        EXPECT_FALSE(text.contains("AnnSecret"));
        QStringList expected;
        for (const Values& v : ordered) {
            expected << v.service << v.name;
            if (c.passwords) expected << v.password;
        }
        if (c.kind == ReportKind::Master) {
            expected.clear();
            for (const Values& v : ordered) expected << v.service << v.name << v.password;
        }
        expectInOrder(text, expected);
        tool("pdftoppm", {"-png", "-r", "50", "-f", "1", "-l", "1", "-singlefile", file,
                          outputFolder() + "/" + layout.procedure});
    }
    EXPECT_TRUE(QFileInfo::exists(outputFolder() + "/MasterReport.png"));
}

TEST_F(ReportPdfTest, TextsTooWideForTheirColumnWrapWithoutLosingACharacter) {
    const QString password = "Kx7" + QString("Qw9Lm2").repeated(18) + "End";
    const TextFont font;
    const QStringList lines = measure.breakLines(password, font, 1458, Wrap::Anywhere);
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines.join(""), password);
    const QString note = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu\nsecond paragraph";
    const QStringList noteLines = measure.breakLines(note, font, 1400, Wrap::Words);
    ASSERT_GT(noteLines.size(), 3);
    for (const QString& line : noteLines) EXPECT_FALSE(line.trimmed().contains("alph a")) << line.toStdString();
    EXPECT_EQ(noteLines.join("").remove(' '), QString(note).remove(' ').remove('\n'));
    EXPECT_EQ(noteLines.last(), "second paragraph");
    EXPECT_GE(measure.lineHeight(font), 100);
    EXPECT_LE(measure.lineHeight(font), kDetailLine);
}
