// Export of a shown list: its text and web page formats, and where it may go.
#include "exchange/ListExport.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/PrivateFile.h"
#include "platform/core/Prompter.h"
#include "tests/support/FileSizeLimit.h"
#include <QAbstractTableModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// Rows of hostile text in three columns.
class Rows : public QAbstractTableModel {
public:
    std::vector<QStringList> rows;
    QStringList headers{"Service", "Name", "Notes"};
    int rowCount(const QModelIndex& = {}) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return int(headers.size()); }
    QVariant data(const QModelIndex& at, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return rows[size_t(at.row())][at.column()];
    }
    QVariant headerData(int section, Qt::Orientation, int role) const override {
        return role == Qt::DisplayRole ? QVariant(headers[section]) : QVariant();
    }
};

// Reads the text format back: the inverse of its escapes.
QStringList cellsOf(const QByteArray& line) {
    QStringList cells;
    for (const QString& field : QString::fromUtf8(line).split(u'\t')) {
        QString cell;
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i] != u'\\' || i + 1 == field.size()) {
                cell += field[i];
                continue;
            }
            const QChar next = field[++i];
            cell += next == u't' ? u'\t' : next == u'n' ? u'\n' : next == u'r' ? u'\r' : next;
        }
        cells << cell;
    }
    return cells;
}

TEST(ListExport, TheTextFormatBringsEveryCellBackExactlyInTheShownOrderOfColumns) {
    Rows model;
    model.rows = {{"Bank", "jdoe ", "line one\r\nline\ttwo \\ end"}, {"", "x", ""}};
    ListExportTable table = shownTable(model, {2, 0}, "Passwords - amy");
    addExportColumn(table, "Password", [](int row) { return row == 0 ? QString("p\tw\\d  ") : QString(); });
    const QList<QByteArray> lines = listAsText(table).split('\n');
    ASSERT_EQ(lines.size(), 4); // the last line ends too
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(cellsOf(lines[0]), (QStringList{"Notes", "Service", "Password"}));
    EXPECT_EQ(cellsOf(lines[1]), (QStringList{"line one\r\nline\ttwo \\ end", "Bank", "p\tw\\d  "}));
    EXPECT_EQ(cellsOf(lines[2]), (QStringList{"", "", ""}));
}

TEST(ListExport, TheWebPageEscapesHostileTextAndMayLoadOrRunNothing) {
    Rows model;
    model.rows = {{"<script>alert(1)</script>", "a&b \"q\" 'r'", QString("bad\x01\x7f") + QChar(0xd800) + "😀"},
                  {"</td></tr></table><img src=x onerror=alert(2)>", "<!--", "]]>"}};
    model.headers[1] = "<b>Name</b>";
    const QString page = QString::fromUtf8(listAsHtml(shownTable(model, {0, 1, 2}, "<i>list</i>")));
    EXPECT_FALSE(page.contains("<script")) << page.toStdString();
    EXPECT_FALSE(page.contains("<img"));
    EXPECT_FALSE(page.contains("<b>"));
    EXPECT_FALSE(page.contains("<i>"));
    EXPECT_FALSE(page.contains("<!--"));
    EXPECT_TRUE(page.contains("<td>&lt;script&gt;alert(1)&lt;/script&gt;</td>"));
    EXPECT_TRUE(page.contains("<td>a&amp;b &quot;q&quot; &#39;r&#39;</td>"));
    EXPECT_TRUE(page.contains(QString("<td>bad") + QChar(0xfffd) + QChar(0xfffd) + QChar(0xfffd) + "😀</td>"));
    EXPECT_TRUE(page.contains("<th>&lt;b&gt;Name&lt;/b&gt;</th>"));
    EXPECT_TRUE(page.contains("Content-Security-Policy\" content=\"default-src 'none'"));
    EXPECT_EQ(page.count("<tr>"), 3);
}

class ListExportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the data folder is the current one
        model_.rows = {{"Bank", "jdoe", ""}};
    }
    void TearDown() override { QDir::setCurrent(previous_); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    QString previous_;
    Rows model_;
    ScriptedFileDialogs files_;
    ScriptedPrompter prompter_;
};

TEST_F(ListExportFiles, NeverOverADataFolderFileAndPrivateWithTheFormatsSuffix) {
    QFile key(path("quillock.key"));
    ASSERT_TRUE(key.open(QIODevice::WriteOnly));
    key.write("the data key");
    key.close();
    files_.answers = {path("quillock.key"), path("list")};
    const QString written =
        ListExporter(files_, prompter_).run(shownTable(model_, {0, 1}, "t"), ListExportFormat::Html, "passwords-amy");
    EXPECT_EQ(written, path("list.html"));
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "File Refused");
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    EXPECT_EQ(key.readAll(), "the data key");
    EXPECT_EQ(files_.asked[0].request.initialName, "passwords-amy.html");
    EXPECT_EQ(QFileInfo(written).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    QFile page(written);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<td>jdoe</td>"));
    EXPECT_TRUE(QDir(dir_.path()).entryList({"*.html*"}, QDir::Files | QDir::Hidden) == QStringList{"list.html"})
        << "no temporary file left";
}

TEST_F(ListExportFiles, ADriveThatCannotKeepTheFilePrivateIsWrittenOnlyAfterAWarning) {
    private_file::simulateModelessFileSystem(true);
    files_.answers = {path("declined.txt"), path("agreed.txt")};
    prompter_.answers = {PromptButton::No, PromptButton::Yes};
    const QString written =
        ListExporter(files_, prompter_).run(shownTable(model_, {0}, "t"), ListExportFormat::Text, "x");
    private_file::simulateModelessFileSystem(false);
    EXPECT_EQ(written, path("agreed.txt"));
    ASSERT_EQ(prompter_.asked.size(), 2u);
    EXPECT_EQ(prompter_.asked[0].title, "File Readable by Others");
    EXPECT_FALSE(QFile::exists(path("declined.txt")));
    EXPECT_TRUE(QFile::exists(path("agreed.txt")));
}

TEST_F(ListExportFiles, AFailedWriteIsToldAndLeavesTheEarlierFile) {
    QFile earlier(path("list.txt"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    for (int i = 0; i < 2000; ++i) model_.rows.push_back({"service", "name", "notes"});
    files_.answers = {path("list.txt")};
    {
        test::FileSizeLimit limit(4096);
        EXPECT_TRUE(ListExporter(files_, prompter_)
                        .run(shownTable(model_, {0, 1, 2}, "t"), ListExportFormat::Text, "x")
                        .isEmpty());
    }
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Export List");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier");
}

} // namespace
