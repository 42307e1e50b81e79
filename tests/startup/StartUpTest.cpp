#include "DataFolderFixture.h"
#include "platform/recordstore/OwnerKeys.h"
#include "store/DataFileOpener.h"
#include "store/DataFolderCheck.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/support/QtPrinters.h"
#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ql;
namespace se = ql::store_error;

namespace {

class StartUpTest : public DataFolderTest {
protected:
    DataFileOpener opener{prompter, throwingHalt()};

    void makePasswordsWithOneEntry() {
        DataTable t(passwordsTable());
        ASSERT_EQ(t.create(), se::NoError);
        ASSERT_EQ(t.open(), se::NoError);
        t.record().setText("P_:USER", u"amy");
        t.record().setText("P_:SERVICE", u"mail");
        ASSERT_EQ(t.add(), se::NoError);
    }
    void dropPasswordsIndex() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open("QL_DATA.qld", &db), SQLITE_OK);
        const auto key = rawTableKey(OwnerKeyKind::Owner);
        sqlite3_key(db, key.constData(), int(key.size()));
        sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        EXPECT_EQ(sqlite3_exec(db, "DROP INDEX \"Pwd__KEYNAME\"", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

} // namespace

TEST(OwnerKey, EveryDigitBecomesTheFirstDigitOfItselfPlusThree) {
    EXPECT_EQ(addThreeToDigits("0123456789"), "3456789111");
    const QString key = buildOwnerKey();
    EXPECT_EQ(key.size(), 64);
    EXPECT_EQ(key, buildOwnerKey());
    for (QChar c : key) EXPECT_TRUE(c.isDigit());
}

TEST(DataParameter, TakesDataInAnyCaseAndIgnoresABlankValue) {
    EXPECT_EQ(dataParameter({"quillock", "Data=/tmp/a"}), "/tmp/a");
    EXPECT_EQ(dataParameter({"quillock", "/DATA=b c"}), "b c");
    EXPECT_EQ(dataParameter({"quillock", "Data=  "}), "");
    EXPECT_EQ(dataParameter({"quillock", "Sync"}), "");
}

TEST_F(StartUpTest, BothProgramsOpenTheSameTablesInTheDataFolder) {
    QTemporaryDir other;
    {
        ProgramServices main(ProgramKind::Main, {"quillock", "Data=" + other.path()}, prompter,
                             throwingHalt());
        EXPECT_EQ(QDir::currentPath(), QDir(other.path()).canonicalPath());
        DataTable users(usersTable());
        ASSERT_EQ(main.managers().users.open(users), se::NoError);
        users.record().setText("U_:NAME", u"amy");
        ASSERT_EQ(users.add(), se::NoError);
        main.positions().writeSetting("Main", "XPos", "10");
    }
    EXPECT_TRUE(QFile::exists(other.filePath("QL_DATA.qld")));
    EXPECT_TRUE(QFile::exists(other.filePath("POSITION.INI")));
    EXPECT_FALSE(QFile::exists(folder.filePath("QL_DATA.qld")));

    QDir::setCurrent(folder.path());
    setOwnerKey(QString(64, u'1')); // forget the key: the monitor builds its own
    ProgramServices monitor(ProgramKind::Monitor, {"qlmon", "Data=" + other.path()}, prompter,
                            throwingHalt());
    DataTable users(usersTable());
    ASSERT_EQ(users.open(), se::NoError);
    EXPECT_EQ(users.records(), 1);
    monitor.positions().writeSetting("Main", "XPos", "20");
    EXPECT_TRUE(QFile::exists(other.filePath("QLMON.INI")));
    EXPECT_FALSE(ProgramServices(ProgramKind::Main, {"quillock", "Data=/no/such/folder"}, prompter,
                                 throwingHalt())
                     .dataFolderFound());
}

TEST_F(StartUpTest, AFolderOthersMayChangeIsReportedOnceWithTheFix) {
    QTemporaryDir data;
    const QString table = data.filePath("QL_DATA.qld");
    QFile(table).open(QIODevice::WriteOnly);
    ASSERT_EQ(chmod(QFile::encodeName(data.path()).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(table).constData(), 0666), 0);
    {
        ProgramServices main(ProgramKind::Main, {"quillock", "Data=" + data.path()}, prompter,
                             throwingHalt());
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Data Folder Not Private");
    const QString text = prompter.asked[0].text;
    EXPECT_TRUE(text.contains("other users may write to the folder")) << text.toStdString();
    EXPECT_TRUE(text.contains("chmod 700 '" + QDir(data.path()).canonicalPath() + "'"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("chmod 600 '" + QDir(data.path()).canonicalPath() + "/QL_DATA.qld'"))
        << text.toStdString();

    // Someone else's file is named too; a private folder gives no warning.
    const FolderExposure foreign = checkDataFolder(data.path(), getuid() + 1);
    EXPECT_TRUE(foreign.problems.contains("QL_DATA.qld is not owned by you"));
    ASSERT_EQ(chmod(QFile::encodeName(data.path()).constData(), 0700), 0);
    ASSERT_EQ(chmod(QFile::encodeName(table).constData(), 0600), 0);
    EXPECT_FALSE(checkDataFolder(data.path(), getuid()).exposed());
}

// Nobody else may change the tables, and nobody else may copy them either:
// without a passphrase anyone with the program opens a copy.
TEST_F(StartUpTest, AFolderOrTableOthersMayReadIsReportedWithOneFixEach) {
    QTemporaryDir data;
    const QString table = data.filePath("QL_DATA.qld");
    const QString words = data.filePath("qlock_w.tps");
    QFile(table).open(QIODevice::WriteOnly);
    QFile(words).open(QIODevice::WriteOnly);
    const QString dir = QDir(data.path()).canonicalPath();
    ASSERT_EQ(chmod(QFile::encodeName(data.path()).constData(), 0750), 0);
    ASSERT_EQ(chmod(QFile::encodeName(table).constData(), 0604), 0);
    ASSERT_EQ(chmod(QFile::encodeName(words).constData(), 0600), 0);
    {
        ProgramServices main(ProgramKind::Main, {"quillock", "Data=" + data.path()}, prompter,
                             throwingHalt());
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Data Folder Not Private");
    const QString text = prompter.asked[0].text;
    EXPECT_TRUE(text.contains("other users may read the folder")) << text.toStdString();
    EXPECT_TRUE(text.contains("other users may read QL_DATA.qld")) << text.toStdString();
    EXPECT_FALSE(text.contains("qlock_w.tps")) << text.toStdString();
    EXPECT_FALSE(text.contains("may write")) << text.toStdString();
    EXPECT_TRUE(text.contains("chmod 700 '" + dir + "'")) << text.toStdString();
    EXPECT_TRUE(text.contains("chmod 600 '" + dir + "/QL_DATA.qld'")) << text.toStdString();

    // A table both readable and writable by others gets its fix once.
    ASSERT_EQ(chmod(QFile::encodeName(table).constData(), 0666), 0);
    const FolderExposure both = checkDataFolder(data.path(), getuid());
    EXPECT_TRUE(both.problems.contains("other users may write to QL_DATA.qld"));
    EXPECT_TRUE(both.problems.contains("other users may read QL_DATA.qld"));
    EXPECT_EQ(both.fixes.count("chmod 600 '" + dir + "/QL_DATA.qld'"), 1);
}

TEST_F(StartUpTest, ATableLeftLockedOpensAfterOneRecoveryWait) {
    makePasswordsWithOneEntry();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        DataTable holder(passwordsTable());
        const char ready = holder.open(access_mode::ExclusiveReadWrite) == se::NoError ? 1 : 0;
        (void)!write(fds[1], &ready, 1);
        usleep(1'500'000);
        _exit(0);
    }
    char ready = 0;
    ASSERT_EQ(read(fds[0], &ready, 1), 1);
    ASSERT_EQ(ready, 1);
    DataTable table(passwordsTable());
    table.send("Recover=0"); // the first try gives up at once
    EXPECT_EQ(opener.openDataFile(table, false, false, access_mode::SharedReadWrite, true), se::NoError);
    EXPECT_TRUE(table.isOpen());
    EXPECT_EQ(table.records(), 1);
    EXPECT_TRUE(prompter.asked.empty());
    waitpid(child, nullptr, 0);
}

TEST_F(StartUpTest, InvalidKeysAreRebuiltOnYesAndEndTheProgramOnNo) {
    makePasswordsWithOneEntry();
    dropPasswordsIndex();
    DataTable table(passwordsTable());
    prompter.answers = {PromptButton::No};
    try {
        opener.openDataFile(table, true, false, access_mode::SharedReadWrite, false);
        ADD_FAILURE() << "the program should have ended";
    } catch (const Halted& halt) {
        EXPECT_STREQ(halt.what(), "Invalid Key!");
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Invalid Key");
    EXPECT_EQ(prompter.asked[0].text,
              "QL_DATA\\!Pwd key file is invalid.  Do you want to rebuild the key?");

    prompter.answers = {PromptButton::Yes};
    EXPECT_EQ(opener.openDataFile(table, true, false, access_mode::SharedReadWrite, false), se::NoError);
    EXPECT_EQ(table.records(), 1);
}

TEST_F(StartUpTest, MissingTablesAreCreatedOnlyWhenAllowed) {
    DataTable created(usersTable());
    EXPECT_EQ(opener.openDataFile(created, true, false, access_mode::SharedReadWrite, false), se::NoError);
    EXPECT_TRUE(created.isOpen());

    DataTable refused(wordsTable());
    EXPECT_THROW(opener.openDataFile(refused, false, false, access_mode::SharedReadWrite, false), Halted);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "File Creation Error");
    EXPECT_TRUE(prompter.asked[0].text.endsWith(" creating qlock_w.tps.  Press OK to end this application."));

    prompter.asked.clear();
    DataTable never(wordsTable());
    try {
        opener.openDataFile(never, true, true, access_mode::SharedReadWrite, false);
        ADD_FAILURE() << "the program should have ended";
    } catch (const Halted& halt) {
        EXPECT_STREQ(halt.what(), "Disk Error");
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "File Access Error");
    EXPECT_TRUE(prompter.asked[0].text.startsWith("File (qlock_w.tps) could not be opened.  Error: "));
    EXPECT_FALSE(QFile::exists("qlock_w.tps"));
}
