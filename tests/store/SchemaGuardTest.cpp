// The schema check of a table file in a checker process of its own: what
// the program does when the checker crashes, hangs or is missing, and how
// often it runs.
#include "StoreTestSupport.h"
#include "platform/recordstore/LastingVerdicts.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SchemaGuard.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <utime.h>

using namespace ql;
using namespace ql::store_error;
using ql::test::StoreFolder;

namespace {

class SchemaGuardTest : public StoreFolder {
protected:
    void SetUp() override {
        StoreFolder::SetUp();
        realChecker = schemaCheckerPath();
        ASSERT_FALSE(realChecker.isEmpty()) << "the checker is built beside the programs";
        DataTable t(passwordsTable());
        createAndOpen(t);
        ASSERT_EQ(addEntry(t, "amy", "bank", "amy1"), NoError);
    }
    void TearDown() override {
        useSchemaChecker({});
        keepVerdictsIn({});
        StoreFolder::TearDown();
    }

    // A checker of the test's own: a shell script with `body`.
    QString script(const QString& name, const QByteArray& body) {
        const QString file = scripts.filePath(name);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return file;
    }
    // The real checker behind a script that counts its runs.
    void useCountingChecker() {
        useSchemaChecker(script("counting", "echo run >> '" + runs().toUtf8() + "'\nexec '" +
                                                realChecker.toUtf8() + "'"));
    }
    QString runs() const { return scripts.filePath("runs"); }
    int runCount() const {
        QFile f(runs());
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
    }
    QByteArray fileBytes() const {
        QFile f(path("QL_DATA.qld"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString realChecker;
    QTemporaryDir scripts;
};

} // namespace

TEST_F(SchemaGuardTest, ACheckerThatCrashesOrHangsMakesTheFileInvalidAndLeavesItAsItWas) {
    const QByteArray before = fileBytes();
    useSchemaChecker(script("crashing", "kill -SEGV $$"));
    DataTable t(passwordsTable());
    EXPECT_EQ(t.open(), InvalidFile);
    EXPECT_EQ(t.errorText(), "Not a valid data file");
    EXPECT_FALSE(t.isOpen());

    useSchemaChecker(script("hanging", "exec sleep 30"), 300);
    ASSERT_EQ(t.send("Recover=0"), NoError); // the checker waits for no lock either
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(t.open(), InvalidFile);
    EXPECT_LT(timer.elapsed(), 5000) << "the hung checker is given up on";
    EXPECT_EQ(fileBytes(), before);

    // The verdict stays for the run, whatever checker comes later.
    useSchemaChecker(script("crashing", "kill -SEGV $$"));
    EXPECT_EQ(t.open(), InvalidFile);
    useSchemaChecker({});
    EXPECT_EQ(t.open(), NoError);
}

TEST_F(SchemaGuardTest, WithoutACheckerNoFileOpensAndTheMessageSaysWhy) {
    useSchemaChecker(scripts.filePath("none/ql-schema-check"));
    DataTable t(passwordsTable());
    EXPECT_EQ(t.open(), AccessDenied);
    EXPECT_TRUE(t.errorText().contains("cannot be checked")) << t.errorText().toStdString();
    EXPECT_TRUE(t.errorText().contains("ql-schema-check")) << t.errorText().toStdString();
    EXPECT_FALSE(t.isOpen());
    // One that ends by itself without an answer cannot run (a missing library,
    // say): that is no verdict on the file.
    useSchemaChecker(script("silent", "exit 0"));
    EXPECT_EQ(t.open(), AccessDenied);
    EXPECT_TRUE(t.errorText().contains("does not run")) << t.errorText().toStdString();
    useSchemaChecker({});
    EXPECT_EQ(t.open(), NoError);
    t.close();
    useSchemaChecker(scripts.filePath("none/ql-schema-check"));
    // A new, empty file has no schema yet: creating one needs no checker.
    DataTable words(wordsTable());
    EXPECT_EQ(words.create(), NoError);
}

TEST_F(SchemaGuardTest, EachFileIsCheckedOnceARunUntilSomethingElseChangesIt) {
    useCountingChecker();
    DataTable passwords(passwordsTable()), users(usersTable());
    ASSERT_EQ(passwords.open(), NoError);
    EXPECT_EQ(runCount(), 1);
    ASSERT_EQ(addEntry(passwords, "amy", "mail", "amy2"), NoError);
    passwords.close();
    ASSERT_EQ(passwords.open(), NoError) << "our own writes need no second check";
    ASSERT_EQ(users.create(), NoError);
    ASSERT_EQ(users.open(), NoError);
    passwords.close();
    users.close();
    EXPECT_EQ(runCount(), 1);

    // Changed by another program: checked again.
    const QByteArray file = path("QL_DATA.qld").toUtf8();
    const utimbuf older{1000000000, 1000000000};
    ASSERT_EQ(utime(file.constData(), &older), 0);
    ASSERT_EQ(passwords.open(), NoError);
    EXPECT_EQ(runCount(), 2);
    passwords.close();

    // A start's files in one run, each sent once.
    const utimbuf other{1100000000, 1100000000};
    ASSERT_EQ(utime(file.constData(), &other), 0);
    DataTable words(wordsTable());
    ASSERT_EQ(words.create(), NoError);
    ASSERT_EQ(utime(path("qlock_w.tps").toUtf8().constData(), &other), 0);
    const SecretBytes owner = rawTableKey(OwnerKeyKind::Owner), wordsKey = rawTableKey(OwnerKeyKind::Words);
    guardFileSchemas({{path("QL_DATA.qld"), &owner, 0}, {path("qlock_w.tps"), &wordsKey, 0},
                      {path("QL_DATA.qld"), &owner, 0}});
    EXPECT_EQ(runCount(), 3);
    ASSERT_EQ(passwords.open(), NoError);
    ASSERT_EQ(words.open(), NoError);
    EXPECT_EQ(runCount(), 3);
}

TEST_F(SchemaGuardTest, AStartOnTheFilesTheLastRunLeftRunsNoCheckerAndAnyOtherChangeIsCheckedAgain) {
    if (!keepsChangeTimes(path("QL_DATA.qld")))
        GTEST_SKIP() << "the test folder's file system keeps no change times";
    const QString kept = scripts.filePath("cache/checked-tables");
    auto newRun = [&] {
        useCountingChecker(); // forgets the verdicts of the run
        keepVerdictsIn(kept);
    };
    newRun();
    DataTable passwords(passwordsTable());
    ASSERT_EQ(passwords.open(), NoError);
    ASSERT_EQ(addEntry(passwords, "amy", "mail", "amy2"), NoError);
    passwords.close();
    EXPECT_EQ(runCount(), 1);
    EXPECT_EQ(QFile(kept).permissions() & ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::Permissions());

    newRun();
    ASSERT_EQ(passwords.open(), NoError) << "the file the last run closed";
    passwords.close();
    EXPECT_EQ(runCount(), 1);

    // A log left beside it by a run that did not end: checked again.
    QFile wal(path("QL_DATA.qld") + "-wal");
    ASSERT_TRUE(wal.open(QIODevice::WriteOnly));
    wal.write(QByteArray(64, '\0'));
    wal.close();
    newRun();
    ASSERT_EQ(passwords.open(), NoError);
    passwords.close();
    EXPECT_EQ(runCount(), 2);

    // Rewritten in place by another program that then set its size and times
    // back: only the change time tells.
    struct stat before {};
    const QByteArray file = path("QL_DATA.qld").toUtf8();
    ASSERT_EQ(stat(file.constData(), &before), 0);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.constData(), times, 0), 0);
    newRun();
    ASSERT_EQ(passwords.open(), NoError);
    passwords.close();
    EXPECT_EQ(runCount(), 3);

    // A run that keeps verdicts for itself alone takes none from earlier runs.
    useCountingChecker();
    keepVerdictsIn({});
    ASSERT_EQ(passwords.open(), NoError);
    passwords.close();
    EXPECT_EQ(runCount(), 4);
}

TEST_F(SchemaGuardTest, KeptVerdictsPassOverWhatIsNoIdentityAndKeepTheNewestFiles) {
    const QString kept = scripts.filePath("checked-tables");
    const std::optional<FileIdentity> table = identityOf(path("QL_DATA.qld"));
    ASSERT_TRUE(table);
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("quillock checked tables 1\n1 2 3\nnot a line at all\n-1 2 3 4 5 6 7\n\n" +
            QByteArray(100000, 'x') + "\n");
    f.close();
    EXPECT_TRUE(lasting_verdicts::read(kept).empty());

    std::vector<FileIdentity> many;
    for (size_t i = 0; i < lasting_verdicts::kMaxEntries + 5; ++i)
        many.push_back({dev_t(7), ino_t(100 + i), 10, 1, 2, 3, 4});
    lasting_verdicts::add(kept, many);
    FileIdentity changed = many.back();
    changed.size = 20;
    lasting_verdicts::add(kept, {changed, *table});
    const std::vector<FileIdentity> read = lasting_verdicts::read(kept);
    ASSERT_EQ(read.size(), lasting_verdicts::kMaxEntries);
    EXPECT_EQ(read.back(), *table);
    EXPECT_EQ(read[read.size() - 2], changed) << "in place of the file's earlier state";
    EXPECT_EQ(std::count_if(read.begin(), read.end(),
                            [&](const FileIdentity& id) { return id.inode == changed.inode; }),
              1);
    EXPECT_EQ(read.front().inode, ino_t(100 + 6)) << "the oldest ones go";
}
