#include "StoreTestSupport.h"
#include "platform/datakey/DataKeySeal.h"
#include "platform/datakey/FolderSwitch.h"
#include "platform/datakey/FolderLock.h"
#include "platform/recordstore/OwnerKeys.h"
#include "tests/support/QtPrinters.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <map>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <sqlite3.h>

using namespace ql;
using ql::test::StoreFolder;

namespace {

constexpr QByteArrayView kPassphrase = "correct horse battery";

QByteArray bytesOf(const SecretBytes& s) { return QByteArray(s.constData(), qsizetype(s.size())); }

KeyFile sealedFile(const SecretBytes& dataKey, QByteArrayView passphrase = kPassphrase) {
    return *sealDataKey(dataKey, passphrase, kKdfLowest);
}

// Files written before the passphrase existed open unchanged: without a data
// key the keys are exactly the ones derived from the built-in texts.
TEST(BuiltInKeysTest, StayWhatTheyWereWithoutADataKey) {
    setOwnerKey(QString(64, u'7'));
    useDataKey({});
    EXPECT_EQ(bytesOf(rawTableKey(OwnerKeyKind::Owner)),
              "x'310b7b1ad1d8844194e3646873f94ab22153b40cb44ed57695734e8bb30c9dd0'");
    EXPECT_EQ(bytesOf(rawTableKey(OwnerKeyKind::Words)),
              "x'ef4827dc0e19b74fdefb58a7efb008ac6bfab1500430ebdfa84e300ac0b711f7'");
    const SecretBytes dataKey(QByteArray(32, '\x01').constData(), 32);
    useDataKey(dataKey);
    EXPECT_EQ(bytesOf(rawTableKey(OwnerKeyKind::Owner)), "x'" + QByteArray(32, '\x01').toHex() + "'");
    EXPECT_EQ(bytesOf(rawTableKey(OwnerKeyKind::Words)), bytesOf(rawTableKey(OwnerKeyKind::Owner)));
    EXPECT_TRUE(rawTableKey(OwnerKeyKind::None).isEmpty()) << "plain tables stay plain";
    useDataKey({});
}

TEST(KeyFileTest, EncodesAndDecodesAndRefusesAnythingElse) {
    const KeyFile file = sealedFile(newDataKey());
    const QByteArray bytes = file.encode();
    ASSERT_EQ(bytes.size(), KeyFile::kFixedBytes + KeyFile::kSealedBytes);
    const auto back = KeyFile::decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->encode(), bytes);
    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(KeyFile::decode(bytes.left(cut))) << cut;
    EXPECT_FALSE(KeyFile::decode(bytes + '\0')) << "nothing may follow the sealed key";
    for (qsizetype at : {0, 8, 10, 12, 19, KeyFile::kFixedBytes - 2}) {
        QByteArray changed = bytes;
        changed[at] = char(changed[at] ^ 0x40);
        EXPECT_FALSE(KeyFile::decode(changed)) << at; // magic, version, algorithm, limits, length
    }
}

TEST(KeyFileTest, SealOpensOnlyWithThePassphraseAndIntactBytes) {
    const SecretBytes dataKey = newDataKey();
    const KeyFile file = sealedFile(dataKey);
    const auto opened = openDataKey(file, passphraseKey(kPassphrase, file));
    ASSERT_TRUE(opened);
    EXPECT_EQ(bytesOf(*opened), bytesOf(dataKey));
    EXPECT_FALSE(openDataKey(file, passphraseKey("correct horse batterY", file)));
    KeyFile tampered = file;
    tampered.sealed[5] ^= 1;
    EXPECT_FALSE(openDataKey(tampered, passphraseKey(kPassphrase, file)));
    // A new seal under the same key keeps the salt and changes the nonce.
    const KeyFile resealed = resealDataKey(dataKey, passphraseKey(kPassphrase, file), file);
    EXPECT_EQ(resealed.salt, file.salt);
    EXPECT_NE(resealed.nonce, file.nonce);
    EXPECT_TRUE(openDataKey(resealed, passphraseKey(kPassphrase, resealed)));
}

TEST(KeyFileTest, WrittenForTheUserAloneWithoutTheSecrets) {
    QTemporaryDir dir;
    const QString path = dir.filePath(kKeyFileName);
    const SecretBytes dataKey = newDataKey();
    QString error;
    ASSERT_TRUE(writeKeyFile(path, sealedFile(dataKey), error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0) << "group and others get nothing";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray stored = f.readAll();
    EXPECT_FALSE(stored.contains(bytesOf(dataKey)));
    EXPECT_FALSE(stored.contains(kPassphrase.toByteArray()));
    EXPECT_TRUE(readKeyFile(path, error));
    f.close();
    ASSERT_TRUE(f.resize(0));
    EXPECT_FALSE(readKeyFile(path, error));
    EXPECT_FALSE(readKeyFile(dir.filePath("absent"), error));
}

// A key file planted as a link would send the sealed key elsewhere, or let
// the write replace a file of the link's choosing.
TEST(KeyFileTest, NeverWrittenThroughASymbolicLink) {
    QTemporaryDir dir, outside;
    const QString victim = outside.filePath("victim");
    QFile target(victim);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("mine");
    target.close();
    const QString path = dir.filePath(kKeyFileName);
    ASSERT_TRUE(QFile::link(victim, path));
    QString error;
    EXPECT_FALSE(writeKeyFile(path, sealedFile(newDataKey()), error));
    EXPECT_TRUE(error.contains("symbolic link")) << error.toStdString();
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "mine");
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"victim"});
}

// A data folder with entries and words under the built-in keys, switched to
// a data key and back with a crash injected after every step.
class FolderSwitchTest : public StoreFolder {
protected:
    const QStringList names{"QL_DATA.qld", "qlock_w.tps"};
    static constexpr int kEntries = 25;

    void SetUp() override {
        StoreFolder::SetUp();
        useDataKey({});
        DataTable passwords(passwordsTable());
        createAndOpen(passwords);
        for (int i = 0; i < kEntries; ++i)
            ASSERT_EQ(addEntry(passwords, "joe", QStringLiteral("Service %1").arg(i), "joe"), 0);
        DataTable words(wordsTable());
        createAndOpen(words);
        words.record().setText("W_:WORD", u"apple");
        ASSERT_EQ(words.add(), 0);
    }
    void TearDown() override {
        useDataKey({});
        StoreFolder::TearDown();
    }

    // Entries and words the tables show under the key now in use; -1 when
    // either does not open.
    static int readable() {
        DataTable passwords(passwordsTable());
        DataTable words(wordsTable());
        if (passwords.open() != 0 || words.open() != 0 || words.records() != 1) return -1;
        return int(passwords.records());
    }

    std::vector<RekeyFile> files(bool on, const SecretBytes& dataKey) const {
        std::vector<RekeyFile> list;
        for (OwnerKeyKind kind : {OwnerKeyKind::Owner, OwnerKeyKind::Words}) {
            SecretBytes builtIn = builtInTableKey(kind), data = rawKeyText(dataKey);
            list.push_back({names[kind == OwnerKeyKind::Owner ? 0 : 1], on ? std::move(builtIn) : std::move(data),
                            on ? std::move(data) : std::move(builtIn)});
        }
        return list;
    }

    // Opens the folder as a start would: the data key when a key file is there.
    int readableAfterStart(const SecretBytes& dataKey) {
        EXPECT_TRUE(FolderSwitch(dir_.path(), names).recover());
        const bool on = QFile::exists(path(kKeyFileName));
        useDataKey(on ? dataKey.copy() : SecretBytes());
        const int entries = readable();
        useDataKey({});
        return entries;
    }

    // Runs the switch stopped after its n-th step; false once it got through.
    bool crashAfter(int n, bool on, const SecretBytes& dataKey) {
        int steps = 0;
        QString error;
        const bool done = FolderSwitch(dir_.path(), names)
                              .run(files(on, dataKey), on ? std::optional(sealedFile(dataKey)) : std::nullopt,
                                   error, [&](SwitchStep, int) { return ++steps < n; });
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return !done && error.isEmpty();
    }

    static bool builtInOpens(const QString& file) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        const SecretBytes key = builtInTableKey(file.endsWith("tps") ? OwnerKeyKind::Words : OwnerKeyKind::Owner);
        sqlite3_key(db, key.constData(), int(key.size()));
        sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        const bool opens = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return opens;
    }

    std::map<QString, QByteArray> snapshot() const {
        std::map<QString, QByteArray> files;
        QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly)) files[it.fileName()] = f.readAll();
        }
        return files;
    }

    void restore(const std::map<QString, QByteArray>& files) const {
        for (const QString& name : QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(path(name));
        for (const auto& [name, bytes] : files) {
            QFile f(path(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
    }

    QByteArray allFileBytes() const {
        QByteArray all;
        QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly)) all += f.readAll();
        }
        return all;
    }
};

TEST_F(FolderSwitchTest, ACrashAtAnyStepLeavesTheOldOrTheNewFolderWhole) {
    const SecretBytes dataKey = newDataKey();
    const auto before = snapshot();
    int n = 1;
    for (; crashAfter(n, true, dataKey); ++n) {
        ASSERT_EQ(readableAfterStart(dataKey), kEntries) << "turning on, stopped after step " << n;
        restore(before);
    }
    EXPECT_GE(n, 7) << "every file copied and renamed is a step";
    ASSERT_TRUE(QFile::exists(path(kKeyFileName)));
    EXPECT_EQ(readableAfterStart(dataKey), kEntries);
    for (const QString& name : names) EXPECT_FALSE(builtInOpens(path(name))) << name.toStdString();
    const QByteArray stored = allFileBytes();
    EXPECT_FALSE(stored.contains(bytesOf(dataKey)));
    EXPECT_FALSE(stored.contains(QByteArray(rawKeyText(dataKey).constData() + 2, 64)));
    EXPECT_FALSE(stored.contains(kPassphrase.toByteArray()));

    const auto on = snapshot();
    for (n = 1; crashAfter(n, false, dataKey); ++n) {
        ASSERT_EQ(readableAfterStart(dataKey), kEntries) << "turning off, stopped after step " << n;
        restore(on);
    }
    EXPECT_FALSE(QFile::exists(path(kKeyFileName)));
    for (const QString& name : names) EXPECT_TRUE(builtInOpens(path(name))) << name.toStdString();
    EXPECT_EQ(QDir(dir_.path()).entryList({"*.rekey*", "*.new", "quillock.switch*"}, QDir::Files), QStringList());
}

TEST_F(FolderSwitchTest, ACopyThatFailsLeavesTheFolderAsItWas) {
    const SecretBytes dataKey = newDataKey();
    std::vector<RekeyFile> wrong = files(true, dataKey);
    wrong[1].oldKey = rawKeyText(newDataKey()); // the words do not open under it
    QString error;
    EXPECT_FALSE(FolderSwitch(dir_.path(), names).run(wrong, sealedFile(dataKey), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path(kKeyFileName)));
    EXPECT_EQ(QDir(dir_.path()).entryList({"*.rekey*", "*.new", "quillock.switch*"}, QDir::Files), QStringList());
    EXPECT_EQ(readable(), kEntries);
}

TEST_F(FolderSwitchTest, AJournalPlacedAsALinkIsNotWrittenThroughAndNothingSwitches) {
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim");
    QFile target(victim);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("mine");
    target.close();
    ASSERT_TRUE(QFile::link(victim, path("quillock.switch")));
    const SecretBytes dataKey = newDataKey();
    QString error;
    EXPECT_FALSE(FolderSwitch(dir_.path(), names).run(files(true, dataKey), sealedFile(dataKey), error));
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "mine");
    EXPECT_FALSE(QFile::exists(path(kKeyFileName)));
    EXPECT_EQ(readable(), kEntries);
}

TEST_F(FolderSwitchTest, AJournalThatIsNotOursIsNotFollowed) {
    QFile journal(path("quillock.switch"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("rm -rf\n");
    journal.close();
    EXPECT_FALSE(FolderSwitch(dir_.path(), names).recover());
    EXPECT_EQ(readable(), kEntries);
}


TEST_F(FolderSwitchTest, IsRefusedWhileAnotherProgramHasTheFolderOpen) {
    FolderLock monitor(dir_.path());
    ASSERT_TRUE(monitor.share());
    const auto before = snapshot();
    const SecretBytes dataKey = newDataKey();
    QString error;
    EXPECT_FALSE(FolderSwitch(dir_.path(), names).run(files(true, dataKey), sealedFile(dataKey), error));
    EXPECT_TRUE(error.contains("has the data folder open")) << error.toStdString();
    EXPECT_EQ(snapshot(), before) << "not a file touched";
    EXPECT_EQ(readable(), kEntries);
}

} // namespace

// Each FolderLock stands for one program (its own open of the lock file).
TEST(FolderLockTest, SharedByEveryProgramAndTakenAloneOnlyByTheLastOne) {
    QTemporaryDir folder;
    FolderLock main(folder.path()), monitor(folder.path());
    ASSERT_TRUE(main.share());
    EXPECT_FALSE(main.othersHold());
    ASSERT_TRUE(monitor.share()) << "a second program starts beside the first";
    EXPECT_TRUE(main.othersHold());
    EXPECT_FALSE(main.takeAlone());
    EXPECT_TRUE(main.held()) << "a refusal keeps the shared hold";
    EXPECT_FALSE(monitor.takeAlone()) << "the first program still shares the folder";
    EXPECT_EQ(QFileInfo(folder.filePath(kFolderLockFileName)).permissions() & 0x0077, 0);
}

TEST(FolderLockTest, GoesWithTheProcessThatHeldIt) {
    QTemporaryDir folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock held(folder.path());
        const char ok = held.share() ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        ::pause(); // until killed, as a crash would end it
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    FolderLock mine(folder.path());
    EXPECT_TRUE(mine.othersHold());
    EXPECT_FALSE(mine.takeAlone());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(mine.othersHold());
    EXPECT_TRUE(mine.takeAlone());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(FolderLockTest, NeverOpensThroughALinkNorWithoutALockFile) {
    QTemporaryDir folder, elsewhere;
    const QString target = elsewhere.filePath("target");
    ASSERT_TRUE(QFile::link(target, folder.filePath(kFolderLockFileName)));
    FolderLock linked(folder.path());
    EXPECT_FALSE(linked.share());
    EXPECT_FALSE(linked.takeAlone()) << "no switch without a lock of its own";
    EXPECT_FALSE(QFile::exists(target));

    QTemporaryDir unmade;
    FolderLock monitor(unmade.path(), false);
    EXPECT_FALSE(monitor.share());
    EXPECT_FALSE(QFile::exists(unmade.filePath(kFolderLockFileName)));
}
