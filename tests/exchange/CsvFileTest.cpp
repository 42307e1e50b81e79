// The comma-separated file with its dialogs and messages.
#include "exchange/CsvFile.h"
#include "platform/core/DayNumber.h"
#include "tests/support/FileSizeLimit.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

class CsvFileTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScriptedFileDialogs dialogs;
    ScriptedPrompter prompter;
    CsvFile csv{dialogs, prompter};
};

} // namespace

TEST_F(CsvFileTest, OpenDialogOffersCsvFilesAndAllFiles) {
    EXPECT_EQ(csv.openInput(), 0);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_FALSE(dialogs.asked[0].save);
    EXPECT_EQ(dialogs.asked[0].request.title, "Import Comma-Separated Value File");
    EXPECT_EQ(dialogs.asked[0].request.filter, "Import Files|*.CSV|All Files|*");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(CsvFileTest, AnEmptyFileOrOneEndingInsideQuotesIsRefusedAndAnotherAskedFor) {
    const QString good = write("good.csv", "a,b\r\n");
    dialogs.answers = {write("empty.csv", ""), write("open.csv", "x\n\"no end\n"), good};
    EXPECT_EQ(csv.openInput(), 5);
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].title, "Attention!");
    EXPECT_EQ(prompter.asked[0].text, "That file is empty!  Please pick another file.");
    EXPECT_TRUE(prompter.asked[1].text.contains("line 2")) << prompter.asked[1].text.toStdString();
    EXPECT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[2].request.initialName, dir.filePath("open.csv")); // the last chosen path
    EXPECT_EQ(csv.readLine(), 5);
    EXPECT_EQ(csv.nextField(), CsvFieldKind::Unquoted);
    EXPECT_EQ(csv.field(), u"a");
}

TEST_F(CsvFileTest, CancellingAfterAnEmptyFileEndsTheImport) {
    dialogs.answers = {write("empty.csv", "")};
    EXPECT_EQ(csv.openInput(), 0);
    EXPECT_EQ(dialogs.asked.size(), 2u);
}

TEST_F(CsvFileTest, AFileThatCannotBeOpenedIsReportedOnce) {
    dialogs.answers = {dir.filePath("missing.csv")};
    EXPECT_EQ(csv.openInput(), 0);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Cannot OPEN " + dir.filePath("missing.csv"));
    EXPECT_TRUE(prompter.asked[0].text.startsWith("Error #")) << prompter.asked[0].text.toStdString();
    EXPECT_EQ(prompter.asked[0].icon, PromptIcon::Stop);
    EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST_F(CsvFileTest, FieldsAreUnpickedThroughTheirPicture) {
    const QString line = "\"" + formatDate(dayNumber(QDate(2031, 7, 4)), "@d17") +
                         "\",\"  30 seconds\",\"not a date\",\"  keep  \"\r\n";
    ASSERT_GT(csv.openInput(write("p.csv", line.toUtf8())), 0);
    csv.readLine();
    csv.nextField();
    EXPECT_EQ(csv.unpickField(Picture(u"@d17")), QString::number(dayNumber(QDate(2031, 7, 4))));
    EXPECT_EQ(csv.unpickField(Picture(u"@S1000")), formatDate(dayNumber(QDate(2031, 7, 4)), "@d17"));
    csv.nextField();
    EXPECT_EQ(csv.unpickField(Picture(u"@p<<<# secondspb")), "30");
    csv.nextField();
    EXPECT_EQ(csv.unpickField(Picture(u"@d17")), std::nullopt);
    csv.nextField();
    EXPECT_EQ(csv.unpickField(Picture(u"@N30.9")), "  keep  ");
}

TEST_F(CsvFileTest, TheExportReplacesTheFileOnlyWhenClosedAndOnlyForItsOwner) {
    const QString target = write("out.csv", "previous contents");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther | QFileDevice::ReadGroup);
    dialogs.answers = {target};
    ASSERT_TRUE(csv.openOutput());
    EXPECT_TRUE(dialogs.asked[0].save);
    EXPECT_EQ(dialogs.asked[0].request.title, "Export Comma-Separated Value File");
    EXPECT_EQ(dialogs.asked[0].request.filter, "Export Files|*.CSV|All Files|*");
    csv.beginLine();
    csv.appendField(u"P_:Service", Picture(), true);
    csv.appendField(u"P_:Level", Picture(), true);
    EXPECT_TRUE(csv.writeLine());
    csv.beginLine();
    csv.appendField(u"mail", Picture(u"@s128"));
    csv.appendField(u"4000", Picture(u"@n6b"));
    EXPECT_TRUE(csv.writeLine());
    EXPECT_EQ(read(target), "previous contents");
    EXPECT_TRUE(csv.close());
    EXPECT_EQ(read(target), "\"P_:Service\",\"P_:Level\"\r\n\"mail\",4000\r\n");
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFile::permissions(target) & others, 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"}); // no leftovers
}

TEST_F(CsvFileTest, TheLiveDataFilesAreRefusedAsTargets) {
    const QString live = write("QL_DATA.qld", "data");
    csv.setRefusedTargets([&](const QString& path) { return path == live; });
    dialogs.answers = {live, dir.filePath("fine.csv")};
    ASSERT_TRUE(csv.openOutput());
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "File Refused");
    EXPECT_EQ(csv.fileName(), dir.filePath("fine.csv"));
    EXPECT_TRUE(csv.close());
    EXPECT_EQ(read(live), "data");
}

TEST_F(CsvFileTest, AFailedWriteAsksRetryOrAbort) {
    QDir(dir.path()).mkdir("sub");
    const QString target = dir.filePath("sub/out.csv");
    ASSERT_TRUE(csv.openOutput(target));
    csv.beginLine();
    csv.appendField(u"x", Picture());
    csv.writeLine();
    QDir(dir.filePath("sub")).removeRecursively();
    prompter.answers = {PromptButton::Retry, PromptButton::Abort};
    EXPECT_FALSE(csv.close());
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].title, "Cannot ADD to " + target);
    EXPECT_EQ(prompter.asked[0].buttons, int(PromptButton::Retry) | int(PromptButton::Abort));
}

TEST_F(CsvFileTest, AnExportCutShortByTheDiskKeepsTheEarlierFile) {
    const QString target = write("out.csv", "previous contents");
    ASSERT_TRUE(csv.openOutput(target));
    csv.beginLine();
    csv.appendField(QString(300, 'x'), Picture());
    csv.writeLine();
    prompter.answers = {PromptButton::Abort};
    bool closed = true;
    {
        const test::FileSizeLimit small(64);
        closed = csv.close();
    }
    EXPECT_FALSE(closed);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Cannot ADD to " + target);
    EXPECT_EQ(read(target), "previous contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.csv"});
}

TEST_F(CsvFileTest, AFolderThatCannotTakeTheFileIsReportedAtOnce) {
    EXPECT_FALSE(csv.openOutput(dir.filePath("no/such/folder/out.csv")));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_TRUE(prompter.asked[0].title.startsWith("Cannot CREATE "));
}
