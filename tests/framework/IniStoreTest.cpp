#include "framework/IniStore.h"
#include "platform/core/PrivateFile.h"
#include "tests/support/FileSizeLimit.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace ql;

namespace {

struct IniStoreTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("POSITION.INI");
    IniStore store;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        store.openStore(path);
    }
    void writeFile(const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile() {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(IniStoreTest, AbsentKeysReadEmptyOrUnknown) {
    EXPECT_EQ(store.readSetting("Main", "XPos"), "");
    EXPECT_EQ(store.readSettingRaw("Main", "XPos"), "---Unknown---");
    EXPECT_FALSE(QFile::exists(path)); // reading creates nothing

    writeFile("[Main]\nEmpty=\nXPos = 12 \n[Other]\nYPos=3\n");
    EXPECT_EQ(store.readSettingRaw("Main", "YPos"), "---Unknown---");
    EXPECT_EQ(store.readSettingRaw("Main", "Empty"), "");
    EXPECT_EQ(store.readSetting("main", "xpos"), "12"); // names ignore case, blanks trimmed
    EXPECT_EQ(store.readSetting("Nowhere", "YPos"), "");

    IniStore closed; // never opened: reads nothing, writes nothing
    EXPECT_EQ(closed.readSettingRaw("Main", "XPos"), "---Unknown---");
    EXPECT_FALSE(closed.writeSetting("Main", "XPos", "1"));
}

TEST_F(IniStoreTest, EveryReadAndWriteGoesToTheFile) {
    ASSERT_TRUE(store.writeSetting("BrowsePasswords", "Width", "640"));
    IniStore second;
    second.openStore(path);
    EXPECT_EQ(second.readSetting("BrowsePasswords", "Width"), "640");

    ASSERT_TRUE(second.writeSetting("BrowsePasswords", "Width", "800"));
    EXPECT_EQ(store.readSetting("BrowsePasswords", "Width"), "800");

    writeFile("[BrowsePasswords]\nWidth=900\n"); // changed behind the store's back
    EXPECT_EQ(store.readSetting("BrowsePasswords", "Width"), "900");

    QFile::remove(path);
    EXPECT_EQ(store.readSettingRaw("BrowsePasswords", "Width"), "---Unknown---");
}

TEST_F(IniStoreTest, WritingOneKeyKeepsEverythingElse) {
    writeFile("; window places\r\n[Main]\r\nXPos=1\r\n\r\n[SelectUsers]\r\n# by hand\r\n"
              "xpos=5\r\nOdd line\r\n\r\n[Last]\r\nA=b\r\n");
    ASSERT_TRUE(store.writeSetting("selectusers", "XPos", "7")); // existing key, other case
    ASSERT_TRUE(store.writeSetting("Main", "YPos", "2"));        // new key, existing section
    ASSERT_TRUE(store.writeSetting("UpdatePasswords", "Maximize", "No")); // new section
    EXPECT_EQ(readFile(),
              QByteArray("; window places\r\n[Main]\r\nXPos=1\r\nYPos=2\r\n\r\n[SelectUsers]\r\n"
                         "# by hand\r\nXPos=7\r\nOdd line\r\n\r\n[Last]\r\nA=b\r\n\r\n"
                         "[UpdatePasswords]\r\nMaximize=No\r\n"));
    // Only this file is in the folder: the new file replaced the old one.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"POSITION.INI"});

    // A file saved by an editor with a byte-order mark still has its first section.
    writeFile("\xEF\xBB\xBF[Main]\nXPos=1\n");
    EXPECT_EQ(store.readSetting("Main", "XPos"), "1");
    ASSERT_TRUE(store.writeSetting("Main", "XPos", "3"));
    EXPECT_EQ(readFile(), QByteArray("\xEF\xBB\xBF[Main]\nXPos=3\n"));
    // So does one saved with the mark twice; a rewrite keeps one.
    writeFile("\xEF\xBB\xBF\xEF\xBB\xBF[Main]\nXPos=1\n");
    EXPECT_EQ(store.readSetting("Main", "XPos"), "1");
    ASSERT_TRUE(store.writeSetting("Main", "XPos", "3"));
    EXPECT_EQ(readFile(), QByteArray("\xEF\xBB\xBF[Main]\nXPos=3\n"));
}

TEST_F(IniStoreTest, ValuesReadBackAsWrittenAndUnstorableOnesAreRefused) {
    const QStringList values{" padded ", "\"quoted\"", "a=b;c", "", "Ünïcode"};
    for (const QString& value : values) {
        ASSERT_TRUE(store.writeSetting("Values", "Key", value));
        EXPECT_EQ(store.readSetting("Values", "Key"), value);
    }
    const QByteArray before = readFile();
    EXPECT_FALSE(store.writeSetting("Values", "Key", "two\nlines"));
    EXPECT_FALSE(store.writeSetting("Values", "a=b", "x"));
    EXPECT_FALSE(store.writeSetting("Values", "", "x"));
    EXPECT_FALSE(store.writeSetting("Va]lues", "Key", "x"));
    EXPECT_FALSE(store.writeSetting("", "Key", "x"));
    EXPECT_EQ(readFile(), before);

    const QString longValue(1500, QLatin1Char('v'));
    ASSERT_TRUE(store.writeSetting("Values", "Long", longValue));
    EXPECT_EQ(store.readSetting("Values", "Long"), longValue);
    EXPECT_EQ(store.readSettingRaw("Values", "Long").size(), IniStore::kRawLimit);
}

TEST_F(IniStoreTest, FileNamesWithBackslashesAndUnwritableFolders) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    IniStore dosName;
    dosName.openStore(".\\QLMON.INI");
    const bool written = dosName.writeSetting("QLMon", "XPos", "4");
    QDir::setCurrent(previous);
    EXPECT_TRUE(written);
    EXPECT_TRUE(QFile::exists(dir.filePath("QLMON.INI")));

    IniStore missingFolder;
    missingFolder.openStore(dir.filePath("no/such/folder/POSITION.INI"));
    EXPECT_FALSE(missingFolder.writeSetting("Main", "XPos", "1"));
}

// A write cut short (full disk, size limit) must neither report success nor
// replace the earlier file with the part that reached the disk.
TEST_F(IniStoreTest, AWriteCutShortKeepsTheEarlierFileWhole) {
    ASSERT_TRUE(store.writeSetting("Main", "XPos", "10"));
    const QByteArray before = readFile();
    bool written = true;
    {
        const test::FileSizeLimit small(8);
        written = store.writeSetting("Main", "Width", QString(200, 'w'));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"POSITION.INI"});
    EXPECT_EQ(store.readSetting("Main", "XPos"), "10");
}

// A settings file planted as a link would make every write replace the
// file the link names.
TEST_F(IniStoreTest, NoFileIsWrittenThroughASymbolicLink) {
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim");
    QFile target(victim);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("mine");
    target.close();
    ASSERT_TRUE(QFile::link(victim, path));
    EXPECT_TRUE(private_file::write(path, "x").contains("symbolic link"));
    EXPECT_FALSE(store.writeSetting("Main", "XPos", "10"));
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "mine");
    EXPECT_TRUE(QFileInfo(path).isSymLink());

    // A link to nothing yet creates nothing where it points.
    const QString dangling = dir.filePath("QLMON.INI");
    ASSERT_TRUE(QFile::link(outside.filePath("planted"), dangling));
    EXPECT_FALSE(private_file::write(dangling, "x").isEmpty());
    EXPECT_FALSE(QFile::exists(outside.filePath("planted")));
}

TEST_F(IniStoreTest, PrivateFilesAreTheUsersAloneAndReplacedWhole) {
    const QString target = dir.filePath("secret.bin");
    ASSERT_TRUE(private_file::write(target, "first").isEmpty());
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    {
        const test::FileSizeLimit small(3);
        EXPECT_FALSE(private_file::write(target, "second, longer").isEmpty());
    }
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "first");
    EXPECT_FALSE(private_file::write(dir.filePath("missing/secret.bin"), "x").isEmpty());
}
