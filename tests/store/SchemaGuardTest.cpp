// The schema check of a table file in a checker process of its own: what
// the program does when the checker crashes, hangs or is missing, and how
// often it runs.
#include "StoreTestSupport.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SchemaGuard.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>
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
