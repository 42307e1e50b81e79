#include "EntryFormFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "entries/ProgramStarter.h"
#include "entries/ShellWords.h"
#include "entries/UpdatePasswords.h"
#include "entries/UrlCapture.h"
#include "entries/WatchedEntryHook.h"
#include "monitor/MonitorLists.h"
#include "monitor/MonitorNotifications.h"
#include "platform/core/PrivateFile.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

using namespace ql;

namespace {

QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) bytes[i] = char((i * 7 + 3) % 256);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes,
               QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    file.setPermissions(permissions);
}

class StoredFiles : public ql::test::EntryFormFixture {
protected:
    void SetUp() override {
        EntryFormFixture::SetUp();
        primeNew();
        form_ = std::make_unique<UpdatePasswords>(formServices(), EntryFormVariant::MainProgram,
                                                  form_request::Insert, passwords_, user_);
        form_->open();
    }
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    std::unique_ptr<UpdatePasswords> form_;
};

} // namespace

TEST_F(StoredFiles, AFileOfUpTo64KiBIsStoredAndWrittenBackForItsOwnerAlone) {
    const QByteArray bytes = pattern(65536);
    writeFile(path("key.bin"), bytes);
    files_.answers = {path("key.bin"), path("out.bin")};
    form_->encryptFile();
    EXPECT_EQ(form_->entry().blob("P_:ENCRYPTEDFILE"), bytes);
    EXPECT_EQ(form_->entry().text("P_:ENCRYPTEDFILENAME"), path("key.bin"));
    EXPECT_EQ(prompter_.asked.back().title, "Complete");
    EXPECT_EQ(prompter_.asked.back().text, path("key.bin") + " read successfully.");

    form_->saveToDisk();
    ASSERT_EQ(files_.asked.size(), 2u);
    EXPECT_TRUE(files_.asked[1].save);
    EXPECT_EQ(files_.asked[1].request.title, "Save to...");
    EXPECT_EQ(files_.asked[1].request.initialName, "key.bin");
    QFile out(path("out.bin"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), bytes);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path("out.bin")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(prompter_.asked.back().text, path("out.bin") + " written successfully.");
}

TEST_F(StoredFiles, SavingToDiskRefusesTheDataFolderOwnFilesAndAsksAgain) {
    form_->entry().setBlob("P_:ENCRYPTEDFILE", "stored contents");
    writeFile(path("quillock.key"), "the data key");
    files_.answers = {path("quillock.key"), "QLMON.INI", path("QL_DATA.qld-shm"), path("out.bin")};
    form_->saveToDisk();
    ASSERT_EQ(files_.asked.size(), 4u);
    EXPECT_EQ(files_.asked[1].request.initialName, path("quillock.key"));
    ASSERT_EQ(prompter_.asked.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(prompter_.asked[size_t(i)].title, "File Refused");
    EXPECT_EQ(prompter_.asked[3].title, "Complete");
    QFile key(path("quillock.key"));
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    EXPECT_EQ(key.readAll(), "the data key");
    EXPECT_FALSE(QFileInfo::exists(path("QLMON.INI")));
}

// A drive that cannot keep a file private (FAT): the stored file is written
// only when the user agrees that others may read it.
TEST_F(StoredFiles, SavingToADriveWithoutModesAsksFirst) {
    form_->entry().setBlob("P_:ENCRYPTEDFILE", "stored contents");
    private_file::simulateModelessFileSystem(true);
    files_.answers = {path("declined.bin"), path("agreed.bin")};
    prompter_.answers = {PromptButton::No, PromptButton::Yes};
    form_->saveToDisk();
    private_file::simulateModelessFileSystem(false);
    ASSERT_EQ(prompter_.asked.size(), 3u);
    EXPECT_EQ(prompter_.asked[0].title, "File Readable by Others");
    EXPECT_EQ(prompter_.asked[2].title, "Complete");
    EXPECT_FALSE(QFileInfo::exists(path("declined.bin")));
    EXPECT_TRUE(QFileInfo::exists(path("agreed.bin")));
}

TEST_F(StoredFiles, AFileThatCannotBeStoredLeavesThePreviousOneInPlace) {
    writeFile(path("first.bin"), "first");
    writeFile(path("large.bin"), pattern(65537));
    QDir(dir_.path()).mkdir("folder"); // no file to read, even for root
    files_.answers = {path("first.bin"), path("large.bin"), path("folder"), path("missing.bin")};
    form_->encryptFile();
    for (int i = 0; i < 3; ++i) {
        form_->encryptFile();
        EXPECT_EQ(form_->entry().blob("P_:ENCRYPTEDFILE"), "first");
        EXPECT_EQ(form_->entry().text("P_:ENCRYPTEDFILENAME"), path("first.bin"));
        EXPECT_EQ(prompter_.asked.back().title, "Error");
    }
    ASSERT_EQ(prompter_.asked.size(), 4u);
    EXPECT_EQ(prompter_.asked[1].text,
              "The file is larger than 64 KB and cannot be stored with this entry.");
    EXPECT_TRUE(prompter_.asked[2].text.startsWith("Unable to read file.  "));
    EXPECT_GT(prompter_.asked[2].text.size(), QStringLiteral("Unable to read file.  ").size());
    EXPECT_TRUE(prompter_.asked[3].text.startsWith("Unable to read file.  "));
}

// Writes with a file size limit of a few bytes, so that the write fails
// half-way whoever runs the test.
void writeWithSizeLimit(UpdatePasswords& form, rlim_t limit) {
    const test::FileSizeLimit small(limit);
    form.saveToDisk();
}

TEST_F(StoredFiles, AFailedWriteNeverLeavesAnEmptyOrHalfFile) {
    form_->entry().setBlob("P_:ENCRYPTEDFILE", "new contents");
    writeFile(path("target.bin"), "old contents");
    files_.answers = {path("target.bin"), path("nowhere/target.bin")};
    writeWithSizeLimit(*form_, 4);
    EXPECT_TRUE(prompter_.asked.back().text.startsWith("Unable to write file.  "))
        << prompter_.asked.back().text.toStdString();
    QFile target(path("target.bin"));
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "old contents");
    EXPECT_EQ(QDir(dir_.path()).entryList({"target.bin*"}, QDir::Files | QDir::Hidden),
              QStringList{"target.bin"});
    form_->saveToDisk();
    EXPECT_EQ(prompter_.asked.back().title, "Error");
    EXPECT_FALSE(QFileInfo::exists(path("nowhere/target.bin")));
    // A stored file larger than the limit (brought in from elsewhere) is not written.
    form_->entry().setBlob("P_:ENCRYPTEDFILE", pattern(65537));
    form_->saveToDisk();
    EXPECT_EQ(files_.asked.size(), 2u);
}

TEST_F(StoredFiles, SaveToDiskWithoutAStoredFileSaysSoAndWritesNothing) {
    files_.answers = {path("empty.bin")};
    form_->saveToDisk();
    EXPECT_TRUE(files_.asked.empty()) << "no file name is asked for";
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Save to Disk");
    EXPECT_EQ(prompter_.asked[0].text, "No file is stored with this entry.  Use \"Encrypt\" to store one.");
    EXPECT_FALSE(QFileInfo::exists(path("empty.bin")));
}

TEST_F(StoredFiles, SelectAndTestTheEntrysProgram) {
    files_.answers = {path("tool.sh")};
    form_->selectProgram();
    EXPECT_EQ(files_.asked[0].request.title, "Choose a File");
    EXPECT_EQ(files_.asked[0].request.filter, "All Files|*.*");
    EXPECT_EQ(form_->entry().text("P_:FILENAME"), path("tool.sh"));
    writeFile(path("tool.sh"), "#!/bin/sh\n", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    form_->entry().setText("P_:FILENAME", path("tool.sh") + " --fast 'two words'");
    form_->testProgram();
    ASSERT_EQ(launcher_.started.size(), 1u);
    EXPECT_EQ(launcher_.started[0].program, path("tool.sh"));
    EXPECT_EQ(launcher_.started[0].arguments, (QStringList{"--fast", "two words"}));

    form_->entry().setText("P_:FILENAME", path("absent.pdf"));
    form_->testProgram();
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(prompter_.asked.back().title, "Critical Error Message");
    EXPECT_EQ(prompter_.asked.back().text, "EXE, Batch File or PIF File Not Found:" +
                                               path("absent.pdf") +
                                               "\nPlease notify technical support immediately!");
    EXPECT_EQ(prompter_.asked.back().icon, PromptIcon::Exclamation);
}

TEST(ProgramStarter, ProgramsStartWithoutAShellAndEverythingElseOpensOnTheDesktop) {
    QTemporaryDir dir;
    const QString script = dir.filePath("my tool.sh");
    writeFile(script, "#!/bin/sh\n", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString document = dir.filePath("notes.txt");
    writeFile(document, "text");
    FakeLauncher launcher;

    EXPECT_EQ(startProgramOrDocument(launcher, "sh -c 'echo $HOME; rm x' \"a b\"  "),
              StartOutcome::Started);
    EXPECT_EQ(launcher.started.back().program, executableFile("sh"));
    EXPECT_EQ(launcher.started.back().arguments, (QStringList{"-c", "echo $HOME; rm x", "a b"}));
    // A path with a blank, unquoted, still names its program.
    EXPECT_EQ(startProgramOrDocument(launcher, script), StartOutcome::Started);
    EXPECT_EQ(launcher.started.back().program, script);
    EXPECT_TRUE(launcher.started.back().arguments.isEmpty());

    EXPECT_EQ(startProgramOrDocument(launcher, document), StartOutcome::Opened);
    EXPECT_EQ(launcher.opened.back(), QUrl::fromLocalFile(document));
    EXPECT_EQ(startProgramOrDocument(launcher, "https://example.com/a b"), StartOutcome::Opened);
    EXPECT_EQ(launcher.opened.back(), QUrl("https://example.com/a b"));
    EXPECT_EQ(startProgramOrDocument(launcher, "www.example.com"), StartOutcome::Opened);
    EXPECT_EQ(launcher.opened.back(), QUrl("http://www.example.com"));
    EXPECT_EQ(startProgramOrDocument(launcher, "   "), StartOutcome::Nothing);
    EXPECT_EQ(startProgramOrDocument(launcher, "no-such-program-here --x"), StartOutcome::Failed);

    // A program that will not start is offered to the desktop instead.
    launcher.starts = false;
    EXPECT_EQ(startProgramOrDocument(launcher, script), StartOutcome::Opened);
    launcher.opens = false;
    ScriptedPrompter prompter;
    int beeps = 0;
    EXPECT_FALSE(runProgramOrDocument(launcher, prompter, [&] { ++beeps; }, document));
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(runProgramOrDocument(launcher, prompter, [&] { ++beeps; }, ""));
    EXPECT_EQ(prompter.asked.size(), 1u);
}

TEST(ShellWords, SplitsAsAShellWouldWithoutExpandingAnything) {
    using L = QStringList;
    EXPECT_EQ(splitShellWords("  a\tb  c "), (L{"a", "b", "c"}));
    EXPECT_EQ(splitShellWords("'a b' \"c d\" e\\ f"), (L{"a b", "c d", "e f"}));
    EXPECT_EQ(splitShellWords("x'y'\"z\""), (L{"xyz"}));
    EXPECT_EQ(splitShellWords("\"a\\\"b\\\\c\\d\" '\\n'"), (L{"a\"b\\c\\d", "\\n"}));
    EXPECT_EQ(splitShellWords("'' \"\""), (L{"", ""}));
    EXPECT_EQ(splitShellWords("$HOME ~ *.txt;ls"), (L{"$HOME", "~", "*.txt;ls"}));
    EXPECT_EQ(splitShellWords(""), L{});
    EXPECT_FALSE(splitShellWords("'open").has_value());
    EXPECT_FALSE(splitShellWords("\"open").has_value());
    EXPECT_FALSE(splitShellWords("end\\").has_value());
}

TEST(UrlCapture, TakesTheAddressUpToABlankOrQuote) {
    EXPECT_EQ(urlInText("Login - http://a.example.com/x?y=1 - Browser"), "http://a.example.com/x?y=1");
    EXPECT_EQ(urlInText("https://b.example.com\tnext"), "https://b.example.com");
    EXPECT_EQ(urlInText("see \"www.c.example.com\" there"), "www.c.example.com");
    // The earlier of the two schemes wins; "www." only when neither is there.
    EXPECT_EQ(urlInText("https://d.example.com then http://e.example.com"), "https://d.example.com");
    EXPECT_EQ(urlInText("www.f.example.com and http://g.example.com"), "http://g.example.com");
    EXPECT_EQ(urlInText("HTTP:X"), "HTTP:X");
    EXPECT_EQ(urlInText("http:" + QString(300, u'z')).size(), 255);
    EXPECT_EQ(urlInText("plain text"), "");
}

TEST(WatchedEntryHook, MarksTheUserChangedAndAsksTheFrameToReload) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    MonitorLists lists;
    MonitorNotifications notifications;
    int reloads = 0;
    QObject::connect(&notifications, &MonitorNotifications::monitorReload, [&] { ++reloads; });
    lists.setWatched("amy", WatchAction::UpToDate);
    const auto hook = watchedEntryHook(lists, notifications);
    hook("amy");
    hook("bob");
    EXPECT_EQ(reloads, 0); // posted, not called
    QCoreApplication::processEvents();
    EXPECT_EQ(reloads, 2);
    const std::vector<WatchedUser> rows = lists.watchedRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].action, WatchAction::Changed);
    EXPECT_EQ(rows[1].userName, "bob");
    EXPECT_EQ(rows[1].action, WatchAction::Changed);
}
