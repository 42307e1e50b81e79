// Data files crafted by someone who knows the built-in owner key: whatever
// they hold beyond our own tables and keys must never run inside the program.
#include "DataFolderFixture.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/TextCollation.h"
#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "tests/support/QtPrinters.h"
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <map>
#include <sqlite3.h>

using namespace ql;
namespace se = ql::store_error;

namespace {

// Name and digest of every file, so that a difference prints short.
std::map<QString, QString> folderBytes(const QString& dir) {
    std::map<QString, QString> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            files[it.fileName()] =
                QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }
    return files;
}

class HostileFileTest : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};

    // QL_DATA with Passwords (one entry), Users (one user) and Settings.
    void makeContainer() {
        DataTable passwords(passwordsTable()), users(usersTable()), settings(configurationTable());
        ASSERT_EQ(settings.create(), se::NoError);
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
        ASSERT_EQ(managers.users.open(users), se::NoError);
        passwords.record().setText("P_:USER", u"amy");
        passwords.record().setText("P_:SERVICE", u"bank");
        passwords.record().setText("P_:PASSWORD", u"s3cret");
        ASSERT_EQ(passwords.add(), se::NoError);
        users.record().setText("U_:NAME", u"amy");
        ASSERT_EQ(users.add(), se::NoError);
    }

    // Runs SQL on the container, keyed with the built-in owner key.
    static void craft(const QString& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open("QL_DATA.qld", &db), SQLITE_OK);
        const auto key = rawTableKey(OwnerKeyKind::Owner);
        sqlite3_key(db, key.constData(), int(key.size()));
        sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        registerTextCollation(db);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "") << " in " << sql.toStdString();
        sqlite3_free(error);
        sqlite3_close(db);
    }

    // Every way the program reaches a table of the file refuses it and
    // leaves the folder as it was.
    void expectRefusedAndUntouched(const std::string& what) {
        SCOPED_TRACE(what);
        const auto before = folderBytes(folder.path());
        for (const TableDef* def : {&passwordsTable(), &usersTable(), &configurationTable()}) {
            DataTable table(*def);
            EXPECT_EQ(table.open(), se::InvalidFile) << def->label.toStdString();
            EXPECT_EQ(table.errorText(), "Not a valid data file");
            EXPECT_FALSE(table.isOpen());
            EXPECT_EQ(table.buildKeys(), se::InvalidFile);
            EXPECT_EQ(table.create(), se::InvalidFile);
            EXPECT_EQ(table.removeFile(), se::InvalidFile);
        }
        DataTable passwords(passwordsTable());
        prompter.asked.clear();
        EXPECT_THROW(managers.passwords.open(passwords), Halted); // the program ends
        EXPECT_EQ(passwords.errorCode(), se::InvalidFile);
        for (const Prompt& p : prompter.asked)
            EXPECT_FALSE(p.text.contains("rebuild", Qt::CaseInsensitive)) << p.text.toStdString();
        EXPECT_EQ(folderBytes(folder.path()), before);
    }
};

} // namespace

// Start-up rebuilds missing keys without asking; a key name that carries
// statements must not get them run during that rebuild.
TEST_F(HostileFileTest, AKeyNameCarryingStatementsIsRefusedBeforeAnyRebuild) {
    makeContainer();
    QTemporaryDir outside;
    // An empty file in a place the attacker can read later opens as a database.
    const QString loot = outside.filePath("loot.db");
    QFile(loot).open(QIODevice::WriteOnly);
    QString evil = QStringLiteral("x\"; COMMIT; ATTACH DATABASE '%1' AS loot; "
                                  "CREATE TABLE loot.pw AS SELECT * FROM main.Pwd; BEGIN; --")
                       .arg(loot);
    evil.replace("\"", "\"\"");
    craft(QStringLiteral("DROP INDEX \"Pwd__KEYNAME\"; CREATE INDEX \"%1\" ON \"Pwd\" (\"NAME\"); "
                         "CREATE INDEX x ON \"Pwd\" (\"URL\");").arg(evil));
    expectRefusedAndUntouched("quoted key name");
    EXPECT_EQ(QFileInfo(loot).size(), 0);
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files), QStringList{"loot.db"});
}

TEST_F(HostileFileTest, AnyObjectWeDoNotCreateMakesTheFileInvalid) {
    const std::vector<std::pair<std::string, QString>> crafted = {
        {"trigger on another table",
         "CREATE TRIGGER plant AFTER INSERT ON ql_meta BEGIN "
         "INSERT INTO \"Users\" (\"NAME\") VALUES ('planted'); END"},
        {"view", "CREATE VIEW peek AS SELECT \"PASSWORD\" FROM \"Pwd\""},
        {"FTS3 table", "CREATE VIRTUAL TABLE words USING fts3(body)"},
        {"R-tree table", "CREATE VIRTUAL TABLE boxes USING rtree(id, x0, x1)"},
        {"statistics table", "ANALYZE"},
        {"table with an expression default",
         "CREATE TABLE \"Extra\" (\"A\" CHAR(3) NOT NULL DEFAULT (hex(randomblob(9))))"},
        {"key on an expression", "CREATE INDEX \"Pwd__X\" ON \"Pwd\" (lower(\"NAME\"))"},
    };
    for (const auto& [what, sql] : crafted) {
        QFile::remove("QL_DATA.qld");
        makeContainer();
        craft(sql);
        expectRefusedAndUntouched(what);
    }
}

// The engine's own parse of this schema text crashes it: only the checker
// process goes down, and the file is refused like any other foreign one.
TEST_F(HostileFileTest, ASchemaTextThatCrashesTheEngineIsRefusedWithoutHarm) {
    makeContainer();
    craft("PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES "
          "('table', 't1', 't1', 2, 'CREATE TABLE t1 AS SELECT 1')");
    expectRefusedAndUntouched("create table as select");
}

TEST_F(HostileFileTest, AnExtraKeyOfOurOwnFormIsRebuiltAway) {
    makeContainer();
    craft("CREATE UNIQUE INDEX \"Pwd__EXTRA\" ON \"Pwd\" (\"PASSWORD\")");
    DataTable passwords(passwordsTable());
    EXPECT_EQ(passwords.open(), se::KeysInvalid);
    ASSERT_EQ(passwords.buildKeys(), se::NoError);
    ASSERT_EQ(passwords.open(), se::NoError);
    EXPECT_EQ(passwords.records(), 1);
    ASSERT_EQ(passwords.getByRecordNumber(1), se::NoError);
    EXPECT_EQ(passwords.record().text("P_:PASSWORD"), "s3cret");
    // The unique key on the password is gone with the rebuild.
    passwords.record().setNumber("P_:ID", 0);
    passwords.record().setText("P_:SERVICE", u"mail");
    EXPECT_EQ(passwords.add(), se::NoError);
}
