#include "StoreTestSupport.h"
#include "platform/recordstore/OwnerKeys.h"
#include <QDirIterator>
#include <QTemporaryDir>
#include <QFile>
#include <map>
#include <sqlite3.h>

using namespace ql;
using namespace ql::store_error;
using ql::test::StoreFolder;

namespace {

using StoreSafetyTest = StoreFolder;

std::map<QString, QByteArray> folderBytes(const QString& dir) {
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            files[it.fileName()] = f.readAll();
    }
    return files;
}

// Files of the folder that hold the marker as UTF-8 or UTF-16 text.
QStringList filesHolding(const QString& dir, const QString& marker) {
    const QByteArray utf8 = marker.toUtf8();
    const QByteArray utf16(reinterpret_cast<const char*>(marker.utf16()), marker.size() * 2);
    QStringList found;
    for (const auto& [name, bytes] : folderBytes(dir))
        if (bytes.contains(utf8) || bytes.contains(utf16))
            found << name;
    return found;
}

// Runs SQL on a table file with the key its table is kept under.
void rawExec(const QString& file, OwnerKeyKind kind, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    const auto key = rawTableKey(kind);
    if (!key.isEmpty()) {
        sqlite3_key(db, key.constData(), int(key.size()));
        sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    }
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TableDef testLayout(int version, bool newer) {
    TableDef def;
    def.label = "Tests";
    def.prefix = "T_";
    def.storedAs = "QL_TEST\\!Items";
    def.owner = OwnerKeyKind::Owner;
    def.structureVersion = version;
    def.fields = {{"T_:ID", FieldType::Long, 0}, {"T_:NAME", FieldType::String, newer ? 20 : 10},
                  {"T_:NOTE", FieldType::String, newer ? 3 : 8}};
    if (newer) {
        def.fields.push_back({"T_:EXTRA", FieldType::Long, 0});
        def.fields.push_back({"T_:MEMO", FieldType::Memo, 100});
    }
    def.keys = {{"T_:KEYNAME", "Name", {1}, true, false, false, false},
                {"T_:KEYID", "Id", {0}, true, true, true, false}};
    def.finishLayout();
    return def;
}

} // namespace

TEST_F(StoreSafetyTest, WrongKeyOrForeignFileIsRefusedAndLeftUntouched) {
    {
        DataTable t(passwordsTable());
        createAndOpen(t);
        ASSERT_EQ(addEntry(t, "amy", "Mail", "a"), 0);
    }
    const auto before = folderBytes(dir_.path());
    setOwnerKey(QString(64, u'1'));
    DataTable t(passwordsTable());
    EXPECT_EQ(t.open(), InvalidFile);
    EXPECT_FALSE(t.errorText().isEmpty());
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.records(), -1);
    EXPECT_EQ(t.create(), InvalidFile);
    EXPECT_EQ(folderBytes(dir_.path()), before);
    setOwnerKey(test::kTestOwnerKey);
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(t.records(), 1);
    t.close();

    QFile text(path("QLOCK_S.qld"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(8192, 'x'));
    text.close();
    DataTable paste(scriptPasteTable());
    EXPECT_EQ(paste.open(), InvalidFile);
    EXPECT_EQ(paste.create(), InvalidFile);
    QFile again(path("QLOCK_S.qld"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray(8192, 'x'));
}

TEST_F(StoreSafetyTest, AFileHoldingAnotherLayoutIsRefused) {
    DataTable paste(scriptPasteTable());
    paste.setFileName("incoming.syn");
    createAndOpen(paste);
    paste.record().setText("SP_:PASTE", u"x");
    ASSERT_EQ(paste.add(), 0);
    paste.close();
    const auto before = folderBytes(dir_.path());
    TableDef plainSync = syncFileTable();
    plainSync.owner = OwnerKeyKind::None;
    DataTable sync(plainSync);
    sync.setFileName("incoming.syn");
    EXPECT_EQ(sync.open(), BadDeclaration);
    EXPECT_EQ(sync.create(), 0); // the table exists: nothing is replaced
    EXPECT_EQ(sync.open(), BadDeclaration);
    EXPECT_EQ(folderBytes(dir_.path()), before);
    // Encrypted under the owner key, the same file does not open at all.
    DataTable encrypted(syncFileTable());
    encrypted.setFileName("incoming.syn");
    EXPECT_EQ(encrypted.open(), InvalidFile);
}

TEST_F(StoreSafetyTest, NoSecretReachesTheDataFolderInClearText) {
    const QString marker = "Zq8MarkerSecret41";
    DataTable t(passwordsTable());
    createAndOpen(t);
    Record& r = t.record();
    r.setText("P_:USER", u"amy");
    r.setText("P_:PASSWORD", marker + QStringLiteral("pw"));
    r.setText("P_:NOTES", marker + QStringLiteral("note"));
    r.setBlob("P_:ENCRYPTEDFILE", (marker + QStringLiteral("blob")).toUtf8());
    ASSERT_EQ(t.add(), 0);
    EXPECT_EQ(filesHolding(dir_.path(), marker), QStringList()) << "while open";
    t.close();
    EXPECT_EQ(filesHolding(dir_.path(), marker), QStringList()) << "after close";
    // The search does find text in a table kept without encryption.
    DataTable paste(scriptPasteTable());
    createAndOpen(paste);
    paste.record().setText("SP_:PASTE", marker);
    ASSERT_EQ(paste.add(), 0);
    paste.close();
    EXPECT_EQ(filesHolding(dir_.path(), marker), QStringList{"QLOCK_S.qld"});
}

TEST_F(StoreSafetyTest, OlderStructureOpensWithItsRecordsKept) {
    {
        DataTable old(testLayout(1, false));
        createAndOpen(old);
        for (const char* name : {"first", "second", "third  "}) {
            old.record().clear();
            old.record().setText("T_:NAME", QString::fromLatin1(name));
            old.record().setText("T_:NOTE", u"abcdefgh");
            ASSERT_EQ(old.add(), 0);
        }
        old.getByRecordNumber(2);
        ASSERT_EQ(old.remove(), 0);
    }
    const auto before = folderBytes(dir_.path());
    DataTable current(testLayout(2, true));
    EXPECT_EQ(current.open(), BadDeclaration); // not registered: never converted
    EXPECT_EQ(folderBytes(dir_.path()), before);

    registerStructure("T_", "Tests", 2);
    ASSERT_EQ(current.open(), 0) << current.errorText().toStdString();
    EXPECT_EQ(current.records(), 2);
    ASSERT_EQ(current.getByRecordNumber(3), 0);
    EXPECT_EQ(current.record().text("T_:NAME"), "third  "); // blanks are kept
    EXPECT_EQ(current.record().text("T_:NOTE"), "abc");
    EXPECT_EQ(current.record().number("T_:ID"), 3);
    EXPECT_EQ(current.record().number("T_:EXTRA"), 0);
    current.record().setText("T_:NAME", QString(20, u'n'));
    current.record().setText("T_:MEMO", u"memo");
    current.record().setNumber("T_:ID", 0);
    ASSERT_EQ(current.add(), 0);
    EXPECT_EQ(current.record().number("T_:ID"), 4);
    current.record().setText("T_:NAME", u"FIRST");
    EXPECT_EQ(current.fetch(0), 0);
    current.close();
    // Converted once: the old layout is now the one that does not match.
    ASSERT_EQ(current.open(), 0);
    current.close();
    DataTable old(testLayout(1, false));
    EXPECT_EQ(old.open(), BadDeclaration);
}

TEST_F(StoreSafetyTest, MissingKeysAreReportedAndRebuilt) {
    {
        DataTable t(passwordsTable());
        createAndOpen(t);
        ASSERT_EQ(addEntry(t, "amy", "Mail", "a"), 0);
    }
    rawExec(path("QL_DATA.qld"), OwnerKeyKind::Owner, "DROP INDEX \"Pwd__KEYNAME\"");
    DataTable t(passwordsTable());
    EXPECT_EQ(t.open(), KeysInvalid);
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.buildKeys(), 0);
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(addEntry(t, "amy", "Mail", "a"), DuplicateKey);
    t.record().setText("P_:NAME", u"a");
    EXPECT_EQ(t.fetch(t.def().keyIndex("P_:KEYNAME")), 0);
}

TEST_F(StoreSafetyTest, BatchIsOneTransactionThatCanBeCancelled) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    ASSERT_EQ(addEntry(t, "amy", "keep", "a"), 0);
    ASSERT_EQ(t.stream(), 0);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(addEntry(t, "amy", QString::number(i), "a"), 0);
    // A refused record inside the batch only undoes itself.
    EXPECT_EQ(addEntry(t, "amy", "keep", "a"), DuplicateKey);
    EXPECT_TRUE(t.inBatch());
    EXPECT_EQ(t.records(), 21);
    EXPECT_EQ(t.cancelBatch(), 0);
    EXPECT_EQ(t.records(), 1);
    ASSERT_EQ(t.stream(), 0);
    ASSERT_EQ(addEntry(t, "amy", "x", "a"), 0);
    EXPECT_EQ(addEntry(t, "amy", "x", "a"), DuplicateKey);
    ASSERT_EQ(addEntry(t, "amy", "y", "a"), 0);
    EXPECT_EQ(t.flush(), 0);
    EXPECT_FALSE(t.inBatch());
    EXPECT_EQ(t.records(), 3);
    // close() completes an open batch.
    ASSERT_EQ(t.stream(), 0);
    ASSERT_EQ(addEntry(t, "amy", "z", "a"), 0);
    t.close();
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(t.records(), 4);
}

TEST_F(StoreSafetyTest, TwoTablesOfOneFileShareABatchThroughOneConnection) {
    DataTable users(usersTable()), entries(passwordsTable()), other(scriptPasteTable());
    createAndOpen(users);
    ASSERT_EQ(entries.create(), 0);
    ASSERT_EQ(other.create(), 0);
    EXPECT_NE(other.openOn(users), 0); // another file: refused
    ASSERT_EQ(entries.openOn(users), 0) << entries.errorText().toStdString();
    auto addUser = [&users](const QString& name) {
        users.record().clear();
        users.record().setText("U_:NAME", name);
        return users.add();
    };
    // Rolled back together, including a write refused half-way.
    ASSERT_EQ(users.stream(), 0);
    ASSERT_EQ(addUser("amy"), 0);
    ASSERT_EQ(addEntry(entries, "amy", "mail", "a"), 0);
    EXPECT_EQ(addEntry(entries, "AMY", "MAIL", "a"), DuplicateKey);
    EXPECT_EQ(users.cancelBatch(), 0);
    EXPECT_EQ(users.records(), 0);
    EXPECT_EQ(entries.records(), 0);
    // Committed together; a reader on its own connection sees nothing before.
    DataTable reader(passwordsTable());
    ASSERT_EQ(reader.open(), 0);
    ASSERT_EQ(users.stream(), 0);
    ASSERT_EQ(addUser("amy"), 0);
    ASSERT_EQ(addEntry(entries, "amy", "mail", "a"), 0);
    EXPECT_EQ(reader.records(), 0);
    ASSERT_EQ(users.flush(), 0);
    EXPECT_EQ(reader.records(), 1);
    // Outside a batch the guest's writes commit on their own; it outlives its host.
    users.close();
    ASSERT_EQ(addEntry(entries, "amy", "bank", "a"), 0);
    EXPECT_EQ(reader.records(), 2);
}

TEST_F(StoreSafetyTest, SymbolicLinksInTheFolderAreNeverFollowed) {
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim");
    ASSERT_TRUE(QFile::link(victim, path("QL_DATA.qld")));
    DataTable t(passwordsTable());
    EXPECT_EQ(t.create(), AccessDenied);
    EXPECT_FALSE(QFile::exists(victim)) << "nothing created through the link";
    ASSERT_TRUE(QFile::remove(path("QL_DATA.qld")));

    createAndOpen(t);
    t.close();
    QFile target(victim);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("mine");
    target.close();
    ASSERT_TRUE(QFile::link(victim, path("QL_DATA.qld-wal")));
    EXPECT_EQ(t.open(), AccessDenied);
    EXPECT_EQ(t.create(), AccessDenied);
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "mine");
}

// A table file that is a link to a sound table elsewhere is refused too: the
// store would otherwise read and write a file outside the folder.
TEST_F(StoreSafetyTest, ATableFileThatIsALinkIsRefused) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    t.close();
    QTemporaryDir outside;
    const QString moved = outside.filePath("QL_DATA.qld");
    ASSERT_TRUE(QFile::rename(path("QL_DATA.qld"), moved));
    ASSERT_TRUE(QFile::link(moved, path("QL_DATA.qld")));
    const QByteArray before = [&] {
        QFile f(moved);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_EQ(t.open(), AccessDenied);
    EXPECT_TRUE(t.errorText().contains("symbolic link")) << t.errorText().toStdString();
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.create(), AccessDenied);
    EXPECT_EQ(t.buildKeys(), AccessDenied);
    QFile f(moved);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"QL_DATA.qld"});
}

TEST_F(StoreSafetyTest, ClosingAnEncryptedTableWipesItsBufferButNotCopiesOfIt) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    ASSERT_EQ(addEntry(t, "amy", "Mail", "a"), 0);
    t.record().setText("P_:PASSWORD", QStringLiteral("s3cret-") + QString::number(42));
    t.record().setBlob("P_:ENCRYPTEDFILE", QByteArray("file bytes"));
    const Record kept = t.record();
    t.record().setText("P_:NOTES", QStringLiteral("only in the table's buffer"));
    t.close();
    EXPECT_EQ(t.record().text("P_:PASSWORD"), "");
    EXPECT_EQ(t.record().text("P_:NOTES"), "");
    EXPECT_TRUE(t.record().blob("P_:ENCRYPTEDFILE").isEmpty());
    EXPECT_EQ(t.record().number("P_:ID"), 0);
    EXPECT_EQ(kept.text("P_:PASSWORD"), "s3cret-42");
    EXPECT_EQ(kept.blob("P_:ENCRYPTEDFILE"), "file bytes");

    DataTable paste(scriptPasteTable()); // not under the owner key: left as it is
    createAndOpen(paste);
    paste.record().setText("SP_:PASTE", u"text");
    paste.close();
    EXPECT_EQ(paste.record().text("SP_:PASTE"), "text");
}
