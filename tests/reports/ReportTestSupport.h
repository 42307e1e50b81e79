#pragma once
// Shared pieces of the report tests: a data folder with entries, a measure
// with fixed-pitch letters, a fixed clock and a printer that records.
#include "platform/core/Clock.h"
#include "platform/recordstore/DataTable.h"
#include "reports/PrintTarget.h"
#include "reports/TextMeasure.h"
#include "store/Layouts.h"
#include "tests/support/QtPrinters.h"
#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace ql::test {

// Every letter is `points * 5` units wide, a line `points * 15` high.
class FixedPitchMeasure : public TextMeasure {
public:
    int lineHeight(const TextFont& font) override { return int(font.points * 15); }
    int textWidth(const QString& text, const TextFont& font) override {
        return int(text.size()) * int(font.points * 5);
    }
    QStringList breakLines(const QString& text, const TextFont& font, int width, Wrap) override {
        const int perLine = std::max(1, width / int(font.points * 5));
        QStringList lines;
        for (const QString& paragraph : text.split(u'\n')) {
            if (paragraph.isEmpty()) lines << QString();
            for (qsizetype at = 0; at < paragraph.size(); at += perLine) lines << paragraph.mid(at, perLine);
        }
        while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

class FixedClock : public Clock {
public:
    int32_t today() const override { return 80000; }
    int32_t now() const override { return 4'500'001; } // 12:30 PM
    void processEvents() override {}
};

// Records what the reports did with the printer.
class RecordingPrintTarget : public PrintTarget {
public:
    bool printer = true;
    bool printerCopies = false;
    int printerCopyCount = 1;
    bool failToBegin = false;
    int failAfterPages = -1;  // printPage fails once this many pages were printed
    PreviewResult previewAnswer;

    std::vector<std::vector<ReportPage>> jobs;  // finished jobs
    std::vector<ReportPage> openJob;
    bool jobOpen = false;
    int aborted = 0;
    std::vector<int> copiesSet;
    std::vector<std::vector<ReportPage>> previews;
    std::vector<std::pair<QString, size_t>> pdfs;  // file name, pages

    bool hasPrinter() override { return printer; }
    bool supportsCopies() override { return printerCopies; }
    int copies() override { return printerCopyCount; }
    void setCopies(int copies) override { copiesSet.push_back(copies); printerCopyCount = copies; }
    bool beginJob(const QString&) override {
        if (failToBegin) return false;
        jobOpen = true;
        openJob.clear();
        return true;
    }
    bool printPage(const ReportPage& page) override {
        if (!jobOpen || int(openJob.size()) == failAfterPages) return false;
        openJob.push_back(page);
        return true;
    }
    bool endJob() override {
        if (!jobOpen) return false;
        jobOpen = false;
        jobs.push_back(std::move(openJob));
        openJob.clear();
        return true;
    }
    void abortJob() override { jobOpen = false; openJob.clear(); ++aborted; }
    QString errorText() override { return QStringLiteral("The printer is out of paper."); }
    PreviewResult preview(const std::vector<ReportPage>& pages, int, const QString&) override {
        previews.push_back(pages);
        return previewAnswer;
    }
    QString writePdf(const std::vector<ReportPage>& pages, const QString& fileName) override {
        pdfs.emplace_back(fileName, pages.size());
        return {};
    }
};

struct Entry {
    QString user, service, name, password;
    std::function<void(Record&)> more;
};

// A data folder of its own, made current, with the Passwords and Users tables.
class ReportData {
public:
    ReportData() {
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        setOwnerKey(QString(64, u'5'));
        EXPECT_EQ(passwords.create(), 0);
        EXPECT_EQ(passwords.open(), 0);
    }
    ~ReportData() { QDir::setCurrent(previous_); }

    QString path(const QString& name) const { return dir_.filePath(name); }

    void add(const std::vector<Entry>& entries) {
        ASSERT_EQ(passwords.stream(), 0);
        int id = int(passwords.records()) + 1;
        for (const Entry& e : entries) {
            Record& r = passwords.record();
            r.clear();
            r.setNumber("P_:ID", id++);
            r.setText("P_:USER", e.user);
            r.setText("P_:SERVICE", e.service);
            r.setText("P_:NAME", e.name);
            r.setText("P_:PASSWORD", e.password);
            if (e.more) e.more(r);
            ASSERT_EQ(passwords.add(), 0) << passwords.errorText().toStdString();
        }
        ASSERT_EQ(passwords.flush(), 0);
    }

    QTemporaryDir dir_;
    QString previous_;
    DataTable passwords{passwordsTable()};
};

// Every text on the pages, in page order and top to bottom, left to right.
inline QStringList textsOf(const std::vector<ReportPage>& pages) {
    QStringList all;
    for (const ReportPage& page : pages) {
        std::vector<PlacedText> texts = page.texts;
        std::stable_sort(texts.begin(), texts.end(), [](const PlacedText& a, const PlacedText& b) {
            return a.y != b.y ? a.y < b.y : a.x < b.x;
        });
        for (const PlacedText& t : texts) all << t.text;
    }
    return all;
}

} // namespace ql::test
