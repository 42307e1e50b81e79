// Export and import of entries through comma-separated files, run the way
// their windows run them.
#include "ExchangeFixture.h"
#include "VariedEntries.h"
#include "exchange/ExchangeFields.h"
#include "monitor/StoreWatchedEntries.h"
#include "platform/core/Clock.h"
#include "platform/core/DayNumber.h"
#include "store/ImportedEntries.h"
#include "platform/core/FakeKeyboard.h"
#include "platform/core/FakeWindowSystem.h"
#include "platform/core/SystemClock.h"
#include "keys/KeystrokeSender.h"
#include "keys/RecordSendFields.h"
#include "keys/SendText.h"
#include <random>

using namespace ql;
using namespace ql::test;

namespace {

const char* const kOtherManagerFile =
    "\xEF\xBB\xBF\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n"
    "\"Web\",\"Forum, main\",\"jdoe\",\"p\"\"ass,word\",\"https://forum.example.com\","
    "\"line one\r\nline \"\"two\"\"\"\r\n"
    "\"Bank\",\"Bank\",\"j.doe@example.com\",\"Zx9!\",\"https://bank.example.com\",\"\"\r\n"
    "\"\",\"Wi-Fi\",\"\",\"correct horse \",\"\",\"Gr\xC3\xBC\xC3\x9F" "e, \xE6\xBC\xA2\xE5\xAD\x97\"\r\n";

} // namespace

TEST_F(ExchangeTest, ExportWithHeaderAndAutoImportRestoreEveryFieldOfEveryEntry) {
    VariedText varied(1234);
    for (int i = 0; i < 1000; ++i)
        addEntry("Alice", QString(), QString(), [&](Record& r) { fillVaried(r, varied, i); });
    const QString file = filePath("alice.csv");
    ASSERT_EQ(exportTo(file, "Alice", true), 1000);

    ASSERT_TRUE(openImport(file));
    EXPECT_EQ(setup.autoAssign(), 20);
    const ImportTotals totals = runImport("Bob", true);
    EXPECT_EQ(totals.imported, 1000);
    EXPECT_EQ(totals.skipped, 0);

    const std::vector<Record> original = entriesOf("Alice"), copy = entriesOf("Bob");
    ASSERT_EQ(copy.size(), original.size());
    for (size_t i = 0; i < copy.size(); ++i) {
        for (const ExchangeField& f : exchangeFields())
            ASSERT_EQ(copy[i].text(f.name), original[i].text(f.name)) << f.name.toStdString() << " of " << i;
        EXPECT_EQ(copy[i].text("P_:CONFIRMPASSWORD"), original[i].text("P_:PASSWORD"));
    }
}

TEST_F(ExchangeTest, AFileFromAnotherPasswordManagerWithColumnsAssignedByHandIsStoredExactly) {
    ASSERT_TRUE(openImport(writeFile("other.csv", kOtherManagerFile)));
    EXPECT_EQ(setup.assignment().sources().size(), 6u);
    EXPECT_EQ(setup.assignment().sources()[1].sample, "Title");
    assign("Field_1", "P_:MoreNotes");
    assign("Field_2", "P_:Service");
    assign("Field_3", "P_:Name");
    assign("Field_4", "P_:Password");
    assign("Field_4", "P_:Paste"); // one column may fill two fields
    assign("Field_5", "P_:URL");
    assign("Field_6", "P_:Notes");
    const ImportTotals totals = runImport("Carol", true);
    EXPECT_EQ(totals.imported, 3);

    const std::vector<Record> got = entriesOf("Carol");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].text("P_:SERVICE"), "Forum, main");
    EXPECT_EQ(got[1].text("P_:NAME"), "jdoe");
    EXPECT_EQ(got[1].text("P_:PASSWORD"), "p\"ass,word");
    EXPECT_EQ(got[1].text("P_:PASTE"), "p\"ass,word");
    EXPECT_EQ(got[1].text("P_:CONFIRMPASSWORD"), "p\"ass,word");
    EXPECT_EQ(got[1].text("P_:URL"), "https://forum.example.com");
    EXPECT_EQ(got[1].text("P_:NOTES"), "line one\nline \"two\"");
    EXPECT_EQ(got[1].text("P_:MORENOTES"), "Web");
    EXPECT_EQ(got[1].number("P_:LEVEL"), 4000);
    EXPECT_EQ(got[0].text("P_:SERVICE"), "Bank");
    EXPECT_EQ(got[0].text("P_:NAME"), "j.doe@example.com");
    EXPECT_EQ(got[2].text("P_:SERVICE"), "Wi-Fi");
    EXPECT_EQ(got[2].text("P_:PASSWORD"), "correct horse ");
    EXPECT_EQ(got[2].text("P_:NOTES"), QString::fromUtf8("Grüße, 漢字"));
}

// A comma-separated file vouches for nothing: the program lines and watched
// flags it brings wait for the user, and no column of it can say otherwise.
TEST_F(ExchangeTest, ImportedProgramLinesAndWatchedFlagsWaitForTheUser) {
    ASSERT_TRUE(openImport(writeFile("trap.csv",
        "P_:Service,P_:Name,P_:Filename,P_:Monitor,P_:WindowTitleToLocate,P_:Paste,P_:StartType\r\n"
        "Shell,root,xterm -e evil,0,,,\r\n"
        "Terminal,jo,,1,*Terminal*,rm -rf ~[Enter],\r\n"
        "Plain,jo,N/A,0,,,\r\n")));
    EXPECT_EQ(setup.autoAssign(), 6);
    EXPECT_EQ(runImport("Fay", true).imported, 3);
    std::vector<Record> got = entriesOf("Fay");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].text("P_:SERVICE"), "Plain");
    EXPECT_TRUE(imported_entry::programConfirmed(got[0]) && imported_entry::watchConfirmed(got[0]));
    EXPECT_FALSE(imported_entry::programConfirmed(got[1]));
    EXPECT_FALSE(imported_entry::watchConfirmed(got[2]));

    // The monitor leaves the imported watched entry alone until it is saved
    // through the entry form.
    StoreWatchedEntries watched(passwords, false);
    EXPECT_TRUE(watched.monitoredEntries("Fay").empty());
    passwords.record().setText("P_:USER", u"Fay");
    passwords.record().setText("P_:SERVICE", u"Terminal");
    passwords.record().setText("P_:NAME", u"jo");
    ASSERT_EQ(passwords.fetch(passwordsTable().keyIndex("P_:KEYSERVICE")), store_error::NoError);
    imported_entry::confirmAll(passwords.record());
    ASSERT_EQ(passwords.put(), store_error::NoError);
    const std::vector<WatchedEntry> now = watched.monitoredEntries("Fay");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].titlePattern, "*Terminal*");
}

// Blanks around names and passwords are theirs: they are stored, exported and
// typed exactly, while keys still ignore trailing blanks.
TEST_F(ExchangeTest, BlanksAroundNamesAndPasswordsAreStoredExportedAndSentExactly) {
    ASSERT_TRUE(openImport(writeFile("blanks.csv",
                                     "\"Title\",\"Username\",\"Password\"\r\n"
                                     "\"Spaced\",\"user name with spaces \",\"   leading and trailing   \"\r\n"
                                     "Unquoted,  two blanks  ,pw  \r\n"
                                     "\"Spaced  \",\"user name with spaces\",\"again\"\r\n")));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    assign("Field_3", "P_:Password");
    const ImportTotals totals = runImport("Dora", true);
    EXPECT_EQ(totals.imported, 2);
    EXPECT_EQ(totals.skipped, 1) << "the same service and name but for trailing blanks";
    EXPECT_EQ(totals.shortened, 0);

    const std::vector<Record> got = entriesOf("Dora");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].text("P_:SERVICE"), "Spaced");
    EXPECT_EQ(got[0].text("P_:NAME"), "user name with spaces ");
    EXPECT_EQ(got[0].text("P_:PASSWORD"), "   leading and trailing   ");
    EXPECT_EQ(got[0].text("P_:CONFIRMPASSWORD"), "   leading and trailing   ");
    EXPECT_EQ(got[1].text("P_:NAME"), "  two blanks  ");
    EXPECT_EQ(got[1].text("P_:PASSWORD"), "pw  ");

    FakeKeyboard keyboard;
    FakeClock clock;
    FakeWindowSystem windows;
    windows.addWindow(5, "Login");
    windows.focused = 5;
    KeystrokeSender sender(keyboard, clock, windows, SendPacing{20, 7});
    sender.setIdle({});
    const QString line = ExpandSendText("[Name][Tab][Password]", sendFieldsOf(got[0]));
    ASSERT_EQ(sender.sendGrouped(line, 5), SendOutcome::Completed);
    EXPECT_EQ(keyboard.typed(), "user name with spaces [Tab]   leading and trailing   ");

    const QString file = filePath("dora.csv");
    ASSERT_EQ(exportTo(file, "Dora", false), 2);
    QFile exported(file);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray text = exported.readAll();
    EXPECT_TRUE(text.contains("\"user name with spaces \",\"   leading and trailing   \""));
    EXPECT_TRUE(text.contains("\"  two blanks  \",\"pw  \""));
}

TEST_F(ExchangeTest, ADuplicateEntryIsSkippedAndReportedWhileTheOthersAreImported) {
    QByteArray file;
    for (int line = 1; line <= 1000; ++line)
        file += line == 500 ? "SERVICE 10,LOGIN 10,other\r\n"
                            : QStringLiteral("service %1,login %1,pw%1\r\n").arg(line).toUtf8();
    ASSERT_TRUE(openImport(writeFile("dup.csv", file)));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    assign("Field_3", "P_:Password");
    const ImportTotals totals = runImport("Dave", false);
    EXPECT_EQ(totals.imported, 999);
    EXPECT_EQ(totals.skipped, 1);
    EXPECT_EQ(entriesOf("Dave").size(), 999u);
    EXPECT_TRUE(totals.summary().startsWith("999 entries imported, 1 line skipped."));
    EXPECT_TRUE(totals.summary().contains("Line 500: the user already has an entry with this service and name"))
        << totals.summary().toStdString();
    // Importing the same file again adds nothing and stops at nothing.
    ASSERT_TRUE(openImport(filePath("dup.csv")));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    EXPECT_EQ(runImport("Dave", false).skipped, 1000);
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(ExchangeTest, EachLineStartsFromANewEntryWithItsDefaults) {
    ASSERT_TRUE(openImport(writeFile("short.csv", "\"mail\",\"jdoe\",\"secret\",\"a note\"\r\n"
                                                  "\"bank\",\"jane\"\r\n\r\n")));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    assign("Field_3", "P_:Password");
    assign("Field_4", "P_:Notes");
    EXPECT_EQ(runImport("Erin", false).imported, 2); // the blank line is no entry
    const std::vector<Record> got = entriesOf("Erin");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].text("P_:SERVICE"), "bank");
    EXPECT_EQ(got[0].text("P_:PASSWORD"), "");
    EXPECT_EQ(got[0].text("P_:CONFIRMPASSWORD"), "");
    EXPECT_EQ(got[0].text("P_:NOTES"), "");
    EXPECT_EQ(got[0].number("P_:LEVEL"), 4000);
    EXPECT_EQ(got[1].text("P_:NOTES"), "a note");
    EXPECT_NE(got[0].number("P_:ID"), got[1].number("P_:ID"));
}

TEST_F(ExchangeTest, ValuesOutOfTheirFieldsRangeSkipTheirLineWithTheReason) {
    ASSERT_TRUE(openImport(writeFile("range.csv", "s1,n1,1,10,\"2031-07-04\",150\n"
                                                  "s2,n2,300,10,\"\",1\n"
                                                  "s3,n3,1,abc,\"\",1\n"
                                                  "s4,n4,1,10,\"the 31st of never\",1\n"
                                                  "s5,n5,0,-5,\"\",200\n"
                                                  "s6,n6,\"7\",3000000000,\"\",1\n"
                                                  "s7,n7,0,\"12\",\"\",1\n")));
    EXPECT_EQ(importTypeText(setup.assignment().sources()[2].picture), "Numeric");
    EXPECT_EQ(importTypeText(setup.assignment().sources()[4].picture), "Alpha-num");
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    assign("Field_3", "P_:Monitor");
    assign("Field_4", "P_:Level");
    assign("Field_5", "P_:ExpiryDate");
    assign("Field_6", "P_:SecondsToWait");
    setup.assignment().setPicture(4, "@d17");
    const ImportTotals totals = runImport("Fay", false);
    EXPECT_EQ(totals.imported, 2);
    ASSERT_EQ(totals.problems.size(), 5u);
    EXPECT_EQ(totals.problems[0].line, 2);
    EXPECT_EQ(totals.problems[0].reason, "P_:Monitor must be between 0 and 255");
    EXPECT_EQ(totals.problems[1].reason, "P_:Level is not a number");
    EXPECT_EQ(totals.problems[2].reason, "P_:ExpiryDate is not a date as @d17 shows one");
    EXPECT_EQ(totals.problems[3].reason, "P_:SecondsToWait must be between 0 and 199");
    EXPECT_EQ(totals.problems[4].line, 6);
    EXPECT_EQ(totals.problems[4].reason, "P_:Level must be between -2147483648 and 2147483647");
    const std::vector<Record> got = entriesOf("Fay");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].number("P_:EXPIRYDATE"), dayNumber(QDate(2031, 7, 4)));
    EXPECT_EQ(got[0].number("P_:SECONDSTOWAIT"), 150);
    EXPECT_EQ(got[1].number("P_:LEVEL"), 12); // quoted digits still make a number
}

TEST_F(ExchangeTest, TextLongerThanItsFieldIsCutAndSaidSo) {
    ASSERT_TRUE(openImport(writeFile("long.csv", "\"" + QByteArray(300, 'u') + "\",x\n" +
                                                     "\"" + QByteArray(20000, 'n') + "\",y\n")));
    assign("Field_1", "P_:URL");
    assign("Field_1", "P_:Notes");
    assign("Field_2", "P_:Service");
    const ImportTotals totals = runImport("Gus", false);
    EXPECT_EQ(totals.imported, 2);
    EXPECT_EQ(totals.shortened, 3);
    EXPECT_TRUE(totals.summary().contains("(lines 1, 2)")) << totals.summary().toStdString();
    const std::vector<Record> got = entriesOf("Gus");
    EXPECT_EQ(got[0].text("P_:NOTES").size(), 300);
    EXPECT_EQ(got[1].text("P_:NOTES").size(), 10000);
}

TEST_F(ExchangeTest, CancelKeepsTheEntriesOfTheTicksDone) {
    QByteArray file;
    for (int line = 1; line <= 200; ++line) file += QStringLiteral("s%1,n%1\n").arg(line).toUtf8();
    ASSERT_TRUE(openImport(writeFile("many.csv", file)));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    ImportRun run(importSetup("Hal", false));
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(run.step(25, 0));
    run.cancel();
    EXPECT_TRUE(run.finished());
    EXPECT_TRUE(run.totals().cancelled);
    EXPECT_NE(run.percentText(), "Process Completed");
    EXPECT_EQ(run.totals().imported, 25);
    EXPECT_EQ(entriesOf("Hal").size(), 25u); // committed: another connection sees them
}

TEST_F(ExchangeTest, ProgressGrowsByBytesReadAndEndsCompleted) {
    QByteArray file;
    for (int line = 1; line <= 1000; ++line) file += QStringLiteral("s%1,n%1\n").arg(line).toUtf8();
    ASSERT_TRUE(openImport(writeFile("progress.csv", file)));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    ImportRun run(importSetup("Ida", false));
    EXPECT_EQ(run.percentText(), "0% Completed");
    ASSERT_TRUE(run.start());
    QStringList shown;
    int ticks = 0;
    for (bool more = true; more; ++ticks) {
        more = run.step(25, 0);
        shown << run.percentText();
    }
    EXPECT_EQ(ticks, 40); // 25 lines a tick when a tick has no time to spare
    EXPECT_EQ(shown.last(), "Process Completed");
    EXPECT_EQ(shown[0], "  1% Completed");
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1)) << shown.join('|').toStdString();

    // With time to spare a tick handles more than 25 lines.
    ASSERT_TRUE(openImport(filePath("progress.csv")));
    assign("Field_1", "P_:Service");
    assign("Field_2", "P_:Name");
    int fastTicks = 0;
    EXPECT_EQ(runImport("Jo", false, &fastTicks).imported, 1000);
    EXPECT_LT(fastTicks, 40);
}

TEST_F(ExchangeTest, AFileWithoutLinesEndsTheRunAtOnce) {
    ASSERT_TRUE(openImport(writeFile("header.csv", "\"P_:Service\"\r\n")));
    assign("Field_1", "P_:Service");
    ImportRun run(importSetup("Kim", true));
    EXPECT_FALSE(run.start());
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(run.totals().imported, 0);
}
