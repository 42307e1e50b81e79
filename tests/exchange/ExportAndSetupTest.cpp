// The export's lists and run, and the import window's columns before a run.
#include "ExchangeFixture.h"
#include "store/FileTargets.h"
#include "platform/core/DayNumber.h"
#include "platform/core/PrivateFile.h"
#include "tests/support/FatMount.h"

using namespace ql;
using namespace ql::test;

TEST(ExportFieldList, StartsWithEveryFieldAndEditsTheChosenList) {
    ExportFieldList list;
    ASSERT_EQ(list.exportFields().size(), 20u);
    EXPECT_EQ(list.exportFields()[9].name, "P_:LastChangeTime");
    list.remove({2, 0, 2, 19});
    EXPECT_EQ(list.exportFields().size(), 17u);
    EXPECT_EQ(list.exportFields()[0].name, "P_:MoreNotes");
    // Added rows go to the end; rows already there are only marked.
    EXPECT_EQ(list.add({0, 3}), (std::vector<int>{17, 1}));
    EXPECT_EQ(list.exportFields().back().name, "P_:Notes");
    EXPECT_EQ(list.shiftUp(0), 0);
    EXPECT_EQ(list.shiftDown(17), 17);
    EXPECT_EQ(list.shiftUp(17), 16);
    EXPECT_EQ(list.exportFields()[16].name, "P_:Notes");
    list.setPicture(16, "  ");
    EXPECT_EQ(list.typeText(16), "Alpha-numeric");
    list.setPicture(16, "@n9");
    EXPECT_EQ(list.typeText(16), "Numeric");
    list.setPicture(16, "@d4");
    EXPECT_EQ(list.typeText(16), "@d4");
}

TEST_F(ExchangeTest, DefaultExportWritesTwentyFieldsInTableOrder) {
    const int32_t day = dayNumber(QDate(2031, 7, 4));
    addEntry("Alice", "mail  ", "jdoe", [&](Record& r) {
        r.setText("P_:PASSWORD", u"s\"cret");
        r.setText("P_:NOTES", u"two\nlines");
        r.setNumber("P_:EXPIRYDATE", day);
        r.setNumber("P_:EXPIRYINTERVAL", 90);
        r.setNumber("P_:LASTCHANGETIME", timeNumber(QTime(9, 5, 7, 10)));
        r.setNumber("P_:MONITOR", 1);
        r.setNumber("P_:SECONDSTOWAIT", 30);
    });
    const QString file = filePath("out.csv");
    ASSERT_EQ(exportTo(file, "Alice", false), 1);
    const QString expected = "\"two\nlines\",\"\",\"mail  \",\"\",\"jdoe\",\"s\"\"cret\",\"2031-07-04\",90,\"\","
                             "\"09:05:07.01\",4000,1,"
                             "\"  30 seconds\",\"\",\"\",\"\",\"\",0,\"\",\"\"\r\n";
    EXPECT_EQ(QString::fromUtf8(readFile(file)), expected);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Done");
    EXPECT_EQ(prompter.asked[0].text, "1 record(s) exported.");
}

TEST_F(ExchangeTest, ExportTakesTheUsersEntriesWhateverTheCaseOfTheirOwnerName) {
    addEntry("ALICE", "b", "x");
    addEntry("alice", "a", "x");
    addEntry("Alice", "c", "x");
    addEntry("Alicia", "a", "x");
    addEntry("Al", "a", "x");
    const QString file = filePath("alice.csv");
    const std::vector<FieldRow> rows{{"P_:Service", "@s128"}, {"P_:Name", "@s128"}};
    EXPECT_EQ(exportTo(file, "Alice", true, rows), 3);
    EXPECT_EQ(readFile(file), "\"P_:Service\",\"P_:Name\"\r\n\"a\",\"x\"\r\n\"b\",\"x\"\r\n\"c\",\"x\"\r\n");
    EXPECT_EQ(prompter.asked.back().text, "3 record(s) exported.");
}

TEST_F(ExchangeTest, AUserWithoutEntriesGetsTheHeaderLineOnly) {
    addEntry("Bob", "a", "x");
    const QString file = filePath("none.csv");
    EXPECT_EQ(exportTo(file, "Alice", true), 0);
    EXPECT_EQ(readFile(file).count("\r\n"), 1);
    EXPECT_TRUE(readFile(file).startsWith("\"P_:Notes\",\"P_:MoreNotes\",\"P_:Service\""));
    EXPECT_EQ(prompter.asked.back().text, "0 record(s) exported.");
}

TEST_F(ExchangeTest, CancellingTheSaveDialogWritesNothing) {
    addEntry("Alice", "a", "x");
    EXPECT_EQ(exportTo(QString(), "Alice", true), -1);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(QDir(folder.path()).entryList({"*.csv"}, QDir::Files).size(), 0);
}

TEST_F(ExchangeTest, ColumnsComeFromTheFirstLineAndTheirKindFromTheSecond) {
    ASSERT_TRUE(openImport(writeFile("kinds.csv", "\"a\",\"b\",\"c\",\"d\"\r\n\"x\",12,\"34\"\r\ny,z\r\n")));
    const auto& sources = setup.assignment().sources();
    ASSERT_EQ(sources.size(), 4u);
    EXPECT_EQ(sources[0].name, "Field_1");
    EXPECT_EQ(setup.assignment().typeText(0), "Alpha-num");
    EXPECT_EQ(setup.assignment().typeText(1), "Numeric");
    EXPECT_EQ(sources[1].picture, "@N30.9");
    EXPECT_EQ(setup.assignment().typeText(2), "Alpha-num"); // quoted digits
    EXPECT_EQ(setup.assignment().typeText(3), "Alpha-num"); // not on the second line
    EXPECT_EQ(setup.recordNumber(), 1);
    EXPECT_TRUE(setup.autoAvailable());

    EXPECT_TRUE(setup.next());
    EXPECT_EQ(setup.recordNumber(), 2);
    EXPECT_FALSE(setup.autoAvailable());
    EXPECT_EQ(sources[1].sample, "12");
    EXPECT_EQ(sources[3].sample, "d"); // the line does not reach it
    EXPECT_TRUE(setup.next());
    EXPECT_FALSE(setup.next());
    EXPECT_FALSE(setup.nextAvailable());
    EXPECT_EQ(setup.recordNumber(), 3);
    EXPECT_EQ(sources[0].sample, "y");
}

TEST_F(ExchangeTest, AFileOfOneLineHasTextColumnsOnly) {
    ASSERT_TRUE(openImport(writeFile("one.csv", "1,2,3\n")));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(setup.assignment().typeText(i), "Alpha-num");
}

TEST_F(ExchangeTest, AutoAssignsColumnsWhoseValueIsAFieldNameAndSelectsBothWays) {
    ASSERT_TRUE(openImport(writeFile("auto.csv", "\"P_:Name\",\"other\",\"P_:ExpiryDate\",\"P_:Name\"\r\n")));
    ImportAssignment& a = setup.assignment();
    a.assign(1, exchangeFieldIndex(u"P_:Service"));
    a.assign(1, exchangeFieldIndex(u"P_:URL"));
    EXPECT_EQ(setup.autoAssign(), 2);
    EXPECT_EQ(a.targets()[exchangeFieldIndex(u"P_:Name")].source, 0);
    EXPECT_EQ(a.targets()[exchangeFieldIndex(u"P_:ExpiryDate")].source, 2);
    EXPECT_EQ(a.sources()[2].picture, "@d10");
    EXPECT_EQ(a.firstTargetOf(1), exchangeFieldIndex(u"P_:Service"));
    EXPECT_EQ(a.firstTargetOf(3), -1);
    a.unassign(exchangeFieldIndex(u"P_:Service"));
    EXPECT_EQ(a.firstTargetOf(1), exchangeFieldIndex(u"P_:URL"));
}

TEST_F(ExchangeTest, EveryOwnFileOfTheDataFolderIsKnownWhateverThePathLeadingThere) {
    for (const char* own : {"QL_DATA.qld", "QL_DATA.qld-wal", "QL_DATA.qld-shm", "QL_DATA.qld-journal",
                            "qlock_w.tps", "QLOCK_S.qld", "QLOCK_T.qld", "QLDATA.qld", "quillock.key",
                            "quillock.key.new", "quillock.switch", "quillock.lock", "POSITION.INI",
                            "QLMON.INI"})
        EXPECT_TRUE(isDataFolderFile(filePath(own))) << own;
    EXPECT_TRUE(isDataFolderFile("quillock.key")) << "a name alone is in the data folder";
    EXPECT_TRUE(isDataFolderFile(filePath("sub/../QLOCK_S.qld")));
    ASSERT_TRUE(QFile::link(filePath("QL_DATA.qld"), filePath("link.csv")));
    EXPECT_TRUE(isDataFolderFile(filePath("link.csv")));
    EXPECT_FALSE(isDataFolderFile(filePath("export.csv")));
    EXPECT_FALSE(isDataFolderFile(filePath("QL_DATA.csv")));
    EXPECT_FALSE(isDataFolderFile(filePath("quillock.syn"))) << "a sync file is written for the user";
}

TEST_F(ExchangeTest, AnExportIsNeverWrittenOverTheDataFolderOwnFiles) {
    addEntry("Alice", "mail", "jdoe");
    QFile key(filePath("quillock.key"));
    ASSERT_TRUE(key.open(QIODevice::WriteOnly));
    key.write("the data key");
    key.close();
    dialogs.answers = {filePath("quillock.key"), filePath("QLMON.INI"), filePath("out.csv")};
    ASSERT_EQ(PasswordExport(passwords, csv, prompter).run("Alice", ExportFieldList().exportFields(), false), 1);
    QStringList titles;
    for (const Prompt& p : prompter.asked) titles << p.title;
    EXPECT_EQ(titles, (QStringList{"File Refused", "File Refused", "Done"}));
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    EXPECT_EQ(key.readAll(), "the data key");
    EXPECT_FALSE(QFile::exists(filePath("QLMON.INI")));
}

// A FAT USB stick cannot keep the file private; the export holds every
// password in clear, so it is written there only after a warning.
TEST_F(ExchangeTest, AnExportToADriveWithoutModesIsWrittenOnlyAfterAWarning) {
    addEntry("Alice", "mail", "jdoe");
    private_file::simulateModelessFileSystem(true);
    dialogs.answers = {filePath("declined.csv"), filePath("agreed.csv")};
    prompter.answers = {PromptButton::No, PromptButton::Yes};
    const int written = PasswordExport(passwords, csv, prompter).run("Alice", ExportFieldList().exportFields(), false);
    private_file::simulateModelessFileSystem(false);
    EXPECT_EQ(written, 1);
    ASSERT_GE(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].title, "File Readable by Others");
    EXPECT_TRUE(prompter.asked[0].text.startsWith(filePath("declined.csv") + "\n"));
    EXPECT_FALSE(QFile::exists(filePath("declined.csv")));
    EXPECT_TRUE(readFile(filePath("agreed.csv")).contains("jdoe"));

    FatMount stick;
    if (!stick.mounted()) GTEST_SKIP() << "no FAT file system through FUSE here: " << stick.why().toStdString();
    prompter.asked.clear();
    dialogs.answers = {stick.path("passwords.csv")};
    prompter.answers = {PromptButton::Yes};
    EXPECT_EQ(PasswordExport(passwords, csv, prompter).run("Alice", ExportFieldList().exportFields(), false), 1);
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].title, "File Readable by Others");
    EXPECT_EQ(prompter.asked[1].title, "Done");
    EXPECT_TRUE(readFile(stick.path("passwords.csv")).contains("jdoe"));
}
