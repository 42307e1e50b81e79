#include "StoreTestSupport.h"
#include <QFile>

using namespace ql;
using namespace ql::store_error;
using ql::test::StoreFolder;

namespace {
using DataTableTest = StoreFolder;
}

TEST_F(DataTableTest, DuplicateEntriesAreRefusedOnTheServiceKey) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    EXPECT_EQ(addEntry(t, "amy", "Mail", "amy1", "https://a"), 0);
    EXPECT_EQ(addEntry(t, "amy", "Mail", "amy1", "https://other"), DuplicateKey);
    EXPECT_EQ(t.duplicateKeyDescription(), "Service");
    EXPECT_FALSE(t.errorText().isEmpty());
    // Same URL twice is allowed; so are another user's same service and name.
    EXPECT_EQ(addEntry(t, "amy", "Bank", "amy1", "https://a"), 0);
    EXPECT_EQ(addEntry(t, "bob", "Mail", "amy1", "https://a"), 0);
    // Case and trailing blanks do not make a different entry.
    EXPECT_EQ(addEntry(t, "AMY", "mail  ", "AMY1"), DuplicateKey);
    EXPECT_EQ(addEntry(t, "amy", "ÉCOLE", "x"), 0);
    EXPECT_EQ(addEntry(t, "amy", "école", "X"), DuplicateKey);
    EXPECT_EQ(t.records(), 4);
    // A refused add leaves the buffer's number unassigned.
    EXPECT_EQ(t.record().number("P_:ID"), 0);
    // A put that collides is refused too, and the stored record stays.
    t.record().setText("P_:USER", u"bob");
    t.record().setText("P_:SERVICE", u"Mail");
    t.record().setText("P_:NAME", u"amy1");
    ASSERT_EQ(t.fetch(1), 0);
    t.record().setText("P_:USER", u"Amy");
    EXPECT_EQ(t.put(), DuplicateKey);
    EXPECT_EQ(t.duplicateKeyDescription(), "Service");
}

// Texts are stored exactly, leading and trailing blanks included, while keys
// ignore trailing blanks: against texts stored without them (as every earlier
// version stored them) as much as against new ones.
TEST_F(DataTableTest, TextsKeepTheirBlanksWhileKeysIgnoreTrailingOnes) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    ASSERT_EQ(addEntry(t, "amy", "Mail", "joe"), 0); // as stored before: no trailing blank
    EXPECT_EQ(addEntry(t, "amy", "Mail", "joe "), DuplicateKey);
    EXPECT_EQ(addEntry(t, "amy ", "MAIL  ", "Joe"), DuplicateKey);
    t.record().clear();
    t.record().setText("P_:USER", u"amy");
    t.record().setText("P_:SERVICE", u"  Bank  ");
    t.record().setText("P_:NAME", u"user name with spaces ");
    t.record().setText("P_:PASSWORD", u"   leading and trailing   ");
    ASSERT_EQ(t.add(), 0);
    EXPECT_EQ(addEntry(t, "amy", "  Bank", "user name with spaces"), DuplicateKey);
    ASSERT_EQ(addEntry(t, "amy", "Bank", "user name with spaces"), 0); // leading blanks count
    t.close();
    ASSERT_EQ(t.open(), 0);

    // A lookup without the trailing blanks finds the stored text, whole.
    const int byName = passwordsTable().keyIndex("P_:KEYNAME");
    t.record().clear();
    t.record().setText("P_:USER", u"amy");
    t.record().setText("P_:NAME", u"user name with spaces");
    t.record().setText("P_:SERVICE", u"  bank");
    ASSERT_EQ(t.fetch(byName), 0);
    EXPECT_EQ(t.record().text("P_:NAME"), "user name with spaces ");
    EXPECT_EQ(t.record().text("P_:SERVICE"), "  Bank  ");
    EXPECT_EQ(t.record().text("P_:PASSWORD"), "   leading and trailing   ");
    t.record().setText("P_:NAME", u"joe   ");
    t.record().setText("P_:SERVICE", u"mail");
    ASSERT_EQ(t.fetch(byName), 0);
    EXPECT_EQ(t.record().text("P_:NAME"), "joe");

    // Key order is that of the texts without their trailing blanks.
    ASSERT_EQ(addEntry(t, "amy", "Mail", "joe!"), 0);
    ASSERT_EQ(addEntry(t, "amy", "Mail", "jo "), 0);
    QStringList names;
    ASSERT_EQ(t.setToStart(byName), 0);
    while (t.next() == 0) names << t.record().text("P_:NAME") + u'|' + t.record().text("P_:SERVICE");
    EXPECT_EQ(names, (QStringList{"jo |Mail", "joe|Mail", "joe!|Mail", "user name with spaces |  Bank  ",
                                  "user name with spaces|Bank"}));
}

// A text that begins with U+FEFF (which decoders like to drop as a
// byte-order mark) comes back with it, in records read one by one and in
// ranges.
TEST_F(DataTableTest, TextsThatBeginWithAByteOrderMarkKeepIt) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    const QString password = QString(QChar(0xFEFF)) + QStringLiteral("pw");
    const QString name = QString(2, QChar(0xFEFF)) + QStringLiteral("joe");
    t.record().clear();
    t.record().setText("P_:USER", u"amy");
    t.record().setText("P_:SERVICE", u"Mail");
    t.record().setText("P_:NAME", name);
    t.record().setText("P_:PASSWORD", password);
    ASSERT_EQ(t.add(), 0);
    t.close();
    ASSERT_EQ(t.open(), 0);
    ASSERT_EQ(t.setToStart(0), 0);
    ASSERT_EQ(t.next(), 0);
    EXPECT_EQ(t.record().text("P_:PASSWORD"), password);
    EXPECT_EQ(t.record().text("P_:NAME"), name);
}

TEST_F(DataTableTest, EachOperationReportsItsErrorCode) {
    DataTable t(passwordsTable());
    EXPECT_EQ(t.open(), NotFound);
    EXPECT_EQ(t.add(), NotOpen);
    EXPECT_EQ(t.next(), NotOpen);
    EXPECT_EQ(t.fetch(0), NotOpen);
    EXPECT_EQ(t.records(), -1);
    EXPECT_EQ(t.errorCode(), NotOpen);
    EXPECT_EQ(t.stream(), NotOpen);
    createAndOpen(t);
    EXPECT_EQ(t.open(), AlreadyOpen);
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.put(), RecordNotFound);
    EXPECT_EQ(t.remove(), RecordNotFound);
    EXPECT_EQ(t.fetch(99), DriverError);
    EXPECT_EQ(addEntry(t, "amy", "Mail", "a"), 0);
    t.record().setText("P_:NAME", u"zz");
    EXPECT_EQ(t.fetch(passwordsTable().keyIndex("P_:KEYSERVICE")), RecordNotFound);
    EXPECT_EQ(t.record().text("P_:NAME"), "zz");
    EXPECT_EQ(t.getByRecordNumber(42), RecordNotFound);
    EXPECT_EQ(t.setToStart(0), 0);
    EXPECT_EQ(t.next(), 0);
    EXPECT_EQ(t.next(), EndOfFile);
    EXPECT_EQ(t.send("Recover=10"), 0);
    EXPECT_EQ(t.send("QUICKSCAN=on"), 0);
    EXPECT_TRUE(t.quickScan());
    EXPECT_EQ(t.send("QUICKSCAN=off"), 0);
    EXPECT_FALSE(t.quickScan());
    EXPECT_EQ(t.send("FROBNICATE"), DriverError);
    t.close();
    // A table missing from an existing container is not found either.
    DataTable users(usersTable());
    EXPECT_EQ(users.open(), NotFound);
    // Read-only opens refuse writes.
    ASSERT_EQ(t.open(access_mode::SharedReadOnly), 0);
    EXPECT_EQ(addEntry(t, "amy", "Other", "a"), AccessDenied);
    EXPECT_EQ(t.records(), 1);
}

TEST_F(DataTableTest, CreateLeavesAnExistingTableAndItsRecords) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    ASSERT_EQ(addEntry(t, "amy", "Mail", "a"), 0);
    t.close();
    EXPECT_EQ(t.create(), 0);
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(t.records(), 1);
    // Tables of one container live in one file with the store's extension.
    DataTable users(usersTable());
    createAndOpen(users);
    EXPECT_TRUE(QFile::exists(path("QL_DATA.qld")));
    DataTable words(wordsTable());
    createAndOpen(words);
    EXPECT_TRUE(QFile::exists(path("qlock_w.tps")));
}

TEST_F(DataTableTest, WritesFetchesAndDeletesTheCurrentRecord) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    ASSERT_EQ(addEntry(t, "amy", "Mail", "a", "u1"), 0);
    EXPECT_EQ(t.record().number("P_:ID"), 1);
    t.record().setText("P_:PASSWORD", u"pw");
    ASSERT_EQ(t.put(), 0);
    t.clearBuffer();
    t.record().setText("P_:USER", u"AMY  ");
    t.record().setText("P_:NAME", u"A");
    t.record().setText("P_:SERVICE", u"mail");
    ASSERT_EQ(t.fetch(passwordsTable().keyIndex("P_:KEYNAME")), 0);
    EXPECT_EQ(t.record().text("P_:PASSWORD"), "pw");
    EXPECT_EQ(t.record().text("P_:USER"), "amy");
    EXPECT_EQ(t.remove(), 0);
    EXPECT_EQ(t.records(), 0);
    EXPECT_EQ(t.put(), RecordNotFound);
}

TEST_F(DataTableTest, AutoIncrementIsOneMoreThanTheHighestPresent) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    t.record().clear();
    t.record().setText("P_:USER", u"amy");
    t.record().setText("P_:SERVICE", u"s9");
    t.record().setNumber("P_:ID", 9);
    ASSERT_EQ(t.add(), 0);
    EXPECT_EQ(t.record().number("P_:ID"), 9);
    ASSERT_EQ(addEntry(t, "amy", "s10", "n"), 0);
    EXPECT_EQ(t.record().number("P_:ID"), 10);
    ASSERT_EQ(t.remove(), 0);
    ASSERT_EQ(addEntry(t, "amy", "s11", "n"), 0);
    EXPECT_EQ(t.record().number("P_:ID"), 10);
    t.record().setNumber("P_:ID", 9);
    t.record().setText("P_:SERVICE", u"s12");
    EXPECT_EQ(t.add(), DuplicateKey);
    EXPECT_EQ(t.duplicateKeyDescription(), "Unique ID");
}

TEST_F(DataTableTest, StoredOrderReadsFollowRecordNumbers) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    for (const char* s : {"c", "a", "b", "d"})
        ASSERT_EQ(addEntry(t, "amy", s, "n"), 0);
    ASSERT_EQ(t.setStoredOrder(), 0);
    QString seen;
    while (t.next() == 0) {
        seen += t.record().text("P_:SERVICE");
        if (t.record().text("P_:SERVICE") == "a") {
            EXPECT_EQ(t.remove(), 0); // reading goes on after a delete
        }
    }
    EXPECT_EQ(t.errorCode(), EndOfFile);
    EXPECT_EQ(seen, "cabd");
    EXPECT_EQ(t.records(), 3);
    ASSERT_EQ(t.getByRecordNumber(3), 0);
    EXPECT_EQ(t.record().text("P_:SERVICE"), "b");
    EXPECT_EQ(t.recordNumber(), 3);
    EXPECT_EQ(t.previous(), 0);
    EXPECT_EQ(t.record().text("P_:SERVICE"), "c");
    EXPECT_EQ(t.previous(), EndOfFile);
}

TEST_F(DataTableTest, LargeFieldsRoundTrip) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    QString notes;
    for (int i = 0; i < 10'000; ++i)
        notes += QChar(u'a' + i % 26);
    notes[5000] = QChar(0x00e9);
    QByteArray blob(64 * 1024, '\0');
    for (int i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<char>(i * 7);
    Record& r = t.record();
    r.setText("P_:USER", u"amy");
    r.setText("P_:NOTES", notes);
    r.setText("P_:MORENOTES", notes + QStringLiteral("cut off"));
    r.setBlob("P_:ENCRYPTEDFILE", blob);
    ASSERT_EQ(t.add(), 0);
    t.close();
    ASSERT_EQ(t.open(), 0);
    ASSERT_EQ(t.getByRecordNumber(1), 0);
    EXPECT_EQ(t.record().text("P_:NOTES"), notes);
    EXPECT_EQ(t.record().text("P_:MORENOTES"), notes);
    EXPECT_EQ(t.record().blob("P_:ENCRYPTEDFILE"), blob);
    // An emptied blob stays empty, not missing.
    t.record().setBlob("P_:ENCRYPTEDFILE", {});
    ASSERT_EQ(t.put(), 0);
    ASSERT_EQ(t.getByRecordNumber(1), 0);
    EXPECT_TRUE(t.record().blob("P_:ENCRYPTEDFILE").isEmpty());
}

TEST_F(DataTableTest, RemoveFileDropsTheTableAndAnEmptiedContainer) {
    DataTable users(usersTable()), settings(configurationTable());
    ASSERT_EQ(users.create(), 0);
    ASSERT_EQ(settings.create(), 0);
    ASSERT_EQ(users.open(), 0);
    EXPECT_EQ(users.removeFile(), 0);
    EXPECT_FALSE(users.isOpen());
    EXPECT_EQ(users.open(), NotFound);
    EXPECT_TRUE(QFile::exists(path("QL_DATA.qld")));
    EXPECT_EQ(settings.open(), 0);
    EXPECT_EQ(settings.removeFile(), 0);
    EXPECT_FALSE(QFile::exists(path("QL_DATA.qld")));
    EXPECT_EQ(settings.removeFile(), NotFound);
    DataTable paste(scriptPasteTable());
    ASSERT_EQ(paste.create(), 0);
    EXPECT_EQ(paste.removeFile(), 0);
    EXPECT_FALSE(QFile::exists(path("QLOCK_S.qld")));
    // The synchronization file's name is set at run time.
    DataTable sync(syncFileTable());
    sync.setFileName("out.syn");
    ASSERT_EQ(sync.create(), 0);
    EXPECT_TRUE(QFile::exists(path("out.syn")));
}

TEST_F(DataTableTest, ScriptPasteTextsCompareExactly) {
    DataTable t(scriptPasteTable());
    createAndOpen(t);
    t.record().setText("SP_:PASTE", u"[Name][Tab]");
    ASSERT_EQ(t.add(), 0);
    t.record().setText("SP_:PASTE", u"[NAME][TAB]");
    EXPECT_EQ(t.add(), 0);
    t.record().setText("SP_:PASTE", u"[Name][Tab]   ");
    EXPECT_EQ(t.add(), DuplicateKey);
    EXPECT_EQ(t.duplicateKeyDescription(), "Text to Send");
    t.record().setText("SP_:PASTE", u"[name][tab]");
    EXPECT_EQ(t.fetch(0), RecordNotFound);
}
