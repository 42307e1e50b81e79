#include "framework/AutostartEntry.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

struct AutostartEntryTest : ::testing::Test {
    QTemporaryDir dir;
    AutostartEntry entry{dir.filePath("config/autostart")};

    QString written() {
        QFile file(entry.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

} // namespace

TEST_F(AutostartEntryTest, SwitchedOnAndOffInAFolderMadeWhenMissing) {
    EXPECT_FALSE(entry.isOn());
    EXPECT_TRUE(entry.switchOff()); // nothing to remove is no failure

    ASSERT_TRUE(entry.switchOn("/usr/bin/qlmon", "/home/joe/.local/share/quillock"));
    EXPECT_TRUE(entry.isOn());
    EXPECT_EQ(entry.filePath(), dir.filePath("config/autostart/qlmon.desktop"));
    EXPECT_TRUE(written().contains("\nExec=/usr/bin/qlmon Data=/home/joe/.local/share/quillock\n"));

    // Switching on again replaces the entry: it starts on the newer folder.
    ASSERT_TRUE(entry.switchOn("/usr/bin/qlmon", "/srv/pw"));
    EXPECT_TRUE(written().contains("\nExec=/usr/bin/qlmon Data=/srv/pw\n"));
    EXPECT_FALSE(written().contains("quillock\n"));

    EXPECT_TRUE(entry.switchOff());
    EXPECT_FALSE(entry.isOn());
    EXPECT_FALSE(QFile::exists(entry.filePath()));
}

TEST_F(AutostartEntryTest, AnEntryHiddenByTheDesktopIsOff) {
    ASSERT_TRUE(entry.switchOn("/usr/bin/qlmon", "/srv/pw"));
    QFile file(entry.filePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Hidden=true\n");
    file.close();
    EXPECT_FALSE(entry.isOn());
}

TEST(AutostartExecLineTest, ArgumentsQuotedAndEscapedForTheExecKey) {
    EXPECT_EQ(AutostartEntry::execLine({"/usr/bin/qlmon", "Data=/home/joe/pw"}),
              "/usr/bin/qlmon Data=/home/joe/pw");
    EXPECT_EQ(AutostartEntry::execLine({"/opt/my apps/qlmon", "Data=/home/joe/my passwords"}),
              R"("/opt/my apps/qlmon" "Data=/home/joe/my passwords")");
    // Inside quotes " ` $ \ take a backslash; the value then doubles every backslash.
    EXPECT_EQ(AutostartEntry::execLine({"q", R"(Data=/a"b`c$d\e)"}),
              R"(q "Data=/a\\"b\\`c\\$d\\\\e")");
    EXPECT_EQ(AutostartEntry::execLine({"q", "Data=/100%"}), "q Data=/100%%"); // no field code
    EXPECT_EQ(AutostartEntry::execLine({"q", "Data=/it's"}), R"(q "Data=/it's")");
}

TEST_F(AutostartEntryTest, PathsThatCannotBeWrittenAreRefused) {
    EXPECT_FALSE(entry.switchOn("/usr/bin/qlmon", "/home/joe/two\nlines"));
    EXPECT_FALSE(entry.switchOn("/usr/bin/ql\tmon", "/srv/pw"));
    EXPECT_FALSE(QFile::exists(entry.filePath()));
}

TEST_F(AutostartEntryTest, TheWrittenEntryPassesTheDesktopValidator) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) GTEST_SKIP() << "desktop-file-validate is not installed";
    ASSERT_TRUE(entry.switchOn("/opt/my apps/qlmon", R"(/home/joe/a "b" $c\d 100%)"));
    QProcess process;
    process.start(validator, {entry.filePath()});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
}
