// The master report of one user, from the encrypted table to a PDF file.
//  reports.master_1k_s    1,000 entries with notes: reading, laying out pages and
//                         writing the PDF (median of the rounds)
//  reports.master_10k_s   the same for 10,000 entries (information)
//  reports.scale_ratio    10,000 over 1,000 in processor time of the thread, the
//                         median over rounds: each 10,000-entry report over the
//                         mean of the 1,000-entry reports just before and after
//                         it, so that a load that changes while the benchmark
//                         runs (other programs sharing the processors) weighs on
//                         both sides alike; 10 means the cost grows linearly
//  reports.scale_ratio_wall  the same in elapsed time (information: it moves
//                         with the machine's load)
//  reports.pages_1k       pages of the 1,000-entry report (information)
//  reports.health_1k_s    the password health report of 1,000 entries: reading,
//                         judging every password, laying out pages and writing
//                         the PDF (median of the rounds)
#include "health/HealthReport.h"
#include "platform/recordstore/DataTable.h"
#include "reports/PageBuilder.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportRun.h"
#include "reports/render/PdfFile.h"
#include "reports/render/QtTextMeasure.h"
#include "store/Layouts.h"
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kRounds = 7;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What one report took.
struct Cost {
    double seconds = -1; // elapsed
    double cpu = 0;      // processor time of this thread
};

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QString notesOf(int i) {
    return QStringLiteral("Account opened for the household, number %1.\r\nSecurity questions: first school, "
                          "street of the first house, name of the first pet.\r\nRecovery codes kept in the "
                          "blue folder on the second shelf; renew every spring. Entry %1.")
        .arg(i);
}

bool fill(ql::DataTable& table, const QString& user, int count, int& id) {
    if (table.stream() != 0) return false;
    for (int i = 0; i < count; ++i) {
        ql::Record& r = table.record();
        r.clear();
        const QString n = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        r.setNumber("P_:ID", ++id);
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", "Service " + n);
        r.setText("P_:URL", "https://accounts.service" + n + ".example/login");
        r.setText("P_:NAME", "member." + n + "@mail.example");
        r.setText("P_:PASSWORD", "Xq7-" + n + "-vR2!kP");
        r.setNumber("P_:LASTCHANGEDATE", 80000 + i % 700);
        r.setNumber("P_:LASTCHANGETIME", 1 + (i * 7919) % 8'640'000);
        r.setText("P_:WINDOWTITLETOLOCATE", "Sign in - Service " + n);
        r.setText("P_:PASTE", QStringLiteral("[Name][Tab][Password][Enter]"));
        r.setNumber("P_:SECONDSTOWAIT", 3);
        r.setText("P_:NOTES", notesOf(i));
        r.setText("P_:MORENOTES", QStringLiteral("Shared with nobody."));
        if (table.add() != 0) return false;
    }
    return table.flush() == 0;
}

// The whole report of `user`; `pages` gets its page count.
Cost masterReport(ql::DataTable& table, const QString& user, const QString& pdf, size_t& pages) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = threadCpuSeconds();
    const ql::ReportLayout layout = ql::reportLayout(ql::ReportKind::Master);
    ql::QtTextMeasure measure;
    std::vector<ql::ReportPage> out;
    ql::PageBuilder builder(layout, table.def(), measure, {1, 80000, 4'500'001},
                            [&](ql::ReportPage&& page) { out.push_back(std::move(page)); });
    table.send(QStringLiteral("QUICKSCAN=on"));
    ql::ReportRun run(table, user, table.def().keyIndex(layout.key), builder);
    if (run.start() == ql::ReportRun::Start::Found)
        while (run.step(25)) {}
    builder.finish();
    table.send(QStringLiteral("QUICKSCAN=off"));
    if (!ql::writePdfFile(out, pdf, layout.title).isEmpty()) return {};
    pages = out.size();
    return {double(timer.nsecsElapsed()) / 1e9, threadCpuSeconds() - cpu};
}

// Seconds for the health report of `user`, from the table to the PDF file.
double healthReport(ql::DataTable& table, const QString& user, const QString& pdf) {
    QElapsedTimer timer;
    timer.start();
    const ql::ReportLayout layout = ql::healthReportLayout();
    ql::QtTextMeasure measure;
    table.send(QStringLiteral("QUICKSCAN=on"));
    const std::vector<ql::HealthRow> rows = ql::checkUserPasswords(table, user, 80000);
    table.send(QStringLiteral("QUICKSCAN=off"));
    const std::vector<ql::ReportPage> out =
        ql::healthReportPages(rows, layout, measure, {1, 80000, 4'500'001}, QStringLiteral("@d10"));
    if (rows.empty() || !ql::writePdfFile(out, pdf, layout.title).isEmpty()) return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    ql::setOwnerKey(QString(64, u'b'));
    ql::DataTable table(ql::passwordsTable());
    int id = 0;
    if (table.create() != 0 || table.open() != 0 || !fill(table, "small", 1000, id) ||
        !fill(table, "large", 10000, id)) {
        std::fprintf(stderr, "bench_reports: cannot make the entries: %s\n", qPrintable(table.errorText()));
        return 1;
    }
    // 1k, 10k, 1k, 10k ... 1k: every 10,000-entry report between two of 1,000.
    std::vector<Cost> small, large;
    size_t smallPages = 0, largePages = 0;
    for (int run = 0; run < 2 * kRounds + 1; ++run) {
        const bool isSmall = run % 2 == 0;
        const Cost c = isSmall ? masterReport(table, "small", folder.filePath("small.pdf"), smallPages)
                               : masterReport(table, "large", folder.filePath("large.pdf"), largePages);
        if (c.seconds <= 0) {
            std::fprintf(stderr, "bench_reports: the PDF could not be written\n");
            return 1;
        }
        (isSmall ? small : large).push_back(c);
    }
    std::vector<double> smallSeconds, largeSeconds, ratios, wallRatios;
    for (int i = 0; i < kRounds; ++i) {
        const Cost& before = small[size_t(i)];
        const Cost& after = small[size_t(i) + 1];
        ratios.push_back(large[size_t(i)].cpu * 2 / (before.cpu + after.cpu));
        wallRatios.push_back(large[size_t(i)].seconds * 2 / (before.seconds + after.seconds));
        largeSeconds.push_back(large[size_t(i)].seconds);
    }
    for (const Cost& c : small) smallSeconds.push_back(c.seconds);
    std::vector<double> health;
    for (int round = 0; round < kRounds; ++round) {
        const double h = healthReport(table, "small", folder.filePath("health.pdf"));
        if (h <= 0) {
            std::fprintf(stderr, "bench_reports: the health report could not be written\n");
            return 1;
        }
        health.push_back(h);
    }
    std::printf("reports.master_1k_s %.3f s\n", median(smallSeconds));
    std::printf("reports.master_10k_s %.3f s\n", median(largeSeconds));
    std::printf("reports.scale_ratio %.2f ratio\n", median(ratios));
    std::printf("reports.scale_ratio_wall %.2f ratio\n", median(wallRatios));
    std::printf("reports.pages_1k %zu pages\n", smallPages);
    std::printf("reports.health_1k_s %.3f s\n", median(health));
    return 0;
}
