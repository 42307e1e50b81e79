// Synchronization from the command line: reading the parameters, and runs
// that ask nothing.
#include "SyncMachine.h"
#include "exchange/SyncCommandLineRun.h"
#include "platform/core/PrivateFile.h"
#include "tests/support/FatMount.h"
#include "tests/support/QtPrinters.h"

using namespace ql;
using namespace ql::test;

namespace {

std::optional<SyncRequest> request(QStringList parameters) {
    parameters.prepend("quillock");
    return syncRequest(parameters);
}

QString shape(const std::optional<SyncRequest>& r) {
    if (!r) return "none";
    return QString(r->direction) + "|" + r->user + "|" + r->password + "|" + r->file;
}

} // namespace

TEST(SyncCommandLine, ReadsTheKeyedAndThePositionalShapes) {
    EXPECT_EQ(shape(request({"Sync=Out", "User=joe", "Password=p w", "File=/m/q.syn"})), "O|joe|p w|/m/q.syn");
    EXPECT_EQ(shape(request({"/SyncIn", "joe", "pw", "/m/q.syn"})), "I|joe|pw|/m/q.syn");
    EXPECT_EQ(shape(request({"SYNC=I", "NAME=ann", "PASSWORD=x", "FILE=f"})), "I|ann|x|f");
    EXPECT_EQ(shape(request({"/SyncIn", "joe", "pw", "f", "/SYNCOUT"})), "O|joe|pw|f");  // "O" wins
    // The program's own keyed parameters are not counted as positions.
    EXPECT_EQ(shape(request({"Data=/home/x", "/Syncin", "joe", "pw", "f.syn"})), "I|joe|pw|f.syn");
    EXPECT_EQ(shape(request({"/SyncIn", "joe", "Data=/d", "pw"})), "I|joe|pw|");
    EXPECT_EQ(shape(request({"/SyncIn", "-passphrase=-", "joe", "pw", "f"})), "I|joe|pw|f");
}

TEST(SyncCommandLine, TriesEachSpellingInItsOrder) {
    EXPECT_EQ(shape(request({"Sync=I", "Name=n", "User=u", "NAME=N"})), "I|u||");
    EXPECT_EQ(shape(request({"Sync=I", "User= ", "NAME=N", "Name=n"})), "I|n||"); // blank falls through
    EXPECT_EQ(shape(request({"Sync=I", "PASSWORD=P", "Password=p"})), "I||p|");
    // File: the key, then the fourth parameter, then the upper-case key.
    EXPECT_EQ(shape(request({"/SyncIn", "u", "p", "four", "FILE=F"})), "I|u|p|four");
    EXPECT_EQ(shape(request({"/SyncIn", "u", "p", "FILE=F"})), "I|u|p|F");
    EXPECT_EQ(shape(request({"Sync=I", "FILE=F", "File=f"})), "I|||f");
    EXPECT_EQ(shape(request({"Sync=", "SYNC=O"})), "O|||");
    EXPECT_EQ(shape(request({"Sync=", "/SyncIn"})), "I|||");
}

TEST(SyncCommandLine, AnyOtherDirectionStartsTheProgramNormally) {
    EXPECT_FALSE(request({}));
    EXPECT_FALSE(request({"Data=/x"}));
    EXPECT_FALSE(request({"Sync=out", "User=u", "Password=p", "File=f"})); // lower case
    EXPECT_FALSE(request({"Sync=Xo", "User=u", "Password=p", "File=f"}));
    EXPECT_FALSE(request({"sync=O", "/syncin"}));  // keys and switches as spelled
}

TEST(SyncCommandLine, CutsNamesToTheirWidthButKeepsThePathWhole) {
    const QString path = "/media/" + QString(300, u'd') + "/q.syn";
    const auto r = request({"Sync=O", "User=" + QString(200, u'u'), "Password=" + QString(130, u'p'),
                            "File=" + path});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->user.size(), 128);
    EXPECT_EQ(r->password.size(), 128);
    EXPECT_EQ(r->file, path);
    EXPECT_TRUE(r->complete());
    EXPECT_FALSE(request({"Sync=O", "User=u", "Password=p"})->complete());
    EXPECT_FALSE(request({"Sync=O", "User=u", "Password= ", "File=f"})->complete());
}

namespace {

class CommandLineRunTest : public ::testing::Test {
protected:
    SyncMachine home, work;
    QTemporaryDir media;
    QString file() const { return media.filePath("q.syn"); }
    QStringList out, err;
    QStringList typed; // the lines of standard input
    int passwordReads = 0;
    CommandLineIo io{[this] { ++passwordReads; return typed.isEmpty() ? QString() : typed.takeFirst(); },
                     [this](const QString& line) { out << line; },
                     [this](const QString& line) { err << line; }};

    int run(SyncMachine& machine, QChar direction, const QString& user, const QString& password,
            const QString& path, const QString& filePassword = {}) {
        machine.here();
        out.clear();
        err.clear();
        return runCommandLineSync({direction, user, password, path, filePassword}, machine.managers(),
                                  machine.prompter(), io);
    }
};

} // namespace

TEST_F(CommandLineRunTest, SendsAndReceivesWithoutAskingAnything) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    home.addEntry("joe", {"Mail", "joe", "m"});
    home.addEntry("joe", {"Bank", "joe", "b"});

    EXPECT_EQ(run(home, 'O', "joe", "pw", file()), kSyncSucceeded);
    EXPECT_EQ(out, QStringList{"Records added to the synchonization file:  2"});
    EXPECT_EQ(run(work, 'I', "JOE", "pw", file()), kSyncSucceeded); // names match whatever the case
    EXPECT_EQ(out, QStringList{"Records added:  2  Records updated:  0"});
    EXPECT_TRUE(err.isEmpty());
    EXPECT_EQ(work.entries().size(), 2u);

    typed = {"pw"};
    EXPECT_EQ(run(work, 'I', "joe", "-", file(), "ignored"), kSyncSucceeded);
    EXPECT_EQ(passwordReads, 1);
    EXPECT_EQ(out, QStringList{"Records added:  0  Records updated:  0"});
    EXPECT_TRUE(home.prompter().asked.empty());
    EXPECT_TRUE(work.prompter().asked.empty());
}

TEST_F(CommandLineRunTest, AWrongPasswordOrUserChangesNothing) {
    home.addUser("joe", "pw");
    work.addUser("joe", "other");
    home.addEntry("joe", {"Mail", "joe", "m"});
    ASSERT_EQ(run(home, 'O', "joe", "pw", file()), kSyncSucceeded);
    const QByteArray sent = fileBytes(file());

    EXPECT_EQ(run(home, 'O', "joe", "PW", file()), kSyncFailed);  // not joe's password
    EXPECT_EQ(err, QStringList{"Password mismatch: The user receiving the synchronization file must have "
                               "the same password as the user that created the file."});
    EXPECT_EQ(fileBytes(file()), sent);
    EXPECT_EQ(run(work, 'I', "joe", "other", file()), kSyncFailed); // his, but not the sender's
    EXPECT_EQ(err.size(), 1);
    EXPECT_TRUE(err[0].startsWith("Password mismatch: "));
    EXPECT_EQ(run(work, 'I', "nobody", "other", file()), kSyncFailed);
    EXPECT_TRUE(work.entries().empty());
    EXPECT_TRUE(out.isEmpty());

    EXPECT_EQ(run(work, 'I', "joe", "other", media.filePath("missing.syn")), kSyncFailed);
    EXPECT_TRUE(err[0].startsWith("File Access Error: File (")) << err[0].toStdString();
}

TEST_F(CommandLineRunTest, NeverWritesOverTheDataFolderOwnFiles) {
    home.addUser("joe", "pw");
    home.addEntry("joe", {"Mail", "joe", "m"});
    home.here();
    const QByteArray tables = fileBytes(home.path("QL_DATA.qld"));
    ASSERT_FALSE(tables.isEmpty());
    QFile::link(home.path("QL_DATA.qld"), media.filePath("link.syn"));
    for (const QString& target : {home.path("QL_DATA.qld"), QString("QL_DATA.qld"),
                                  home.path("sub/../QL_DATA.qld"), media.filePath("link.syn"),
                                  home.path("POSITION.INI"), home.path("quillock.key")}) {
        EXPECT_EQ(run(home, 'O', "joe", "pw", target), kSyncFailed) << target.toStdString();
        ASSERT_EQ(err.size(), 1);
        EXPECT_TRUE(err[0].startsWith("File Refused: ")) << err[0].toStdString();
    }
    EXPECT_EQ(fileBytes(home.path("QL_DATA.qld")), tables);
    EXPECT_FALSE(QFile::exists(home.path("POSITION.INI")));
    EXPECT_FALSE(QFile::exists(home.path("quillock.key"))) << "a sync file is never taken for the key file";
    EXPECT_EQ(home.entries().size(), 1u);
}

TEST(SyncCommandLine, TakesTheFilePasswordAndPassesOverItAsAPosition) {
    const auto keyed = request({"Sync=O", "User=free", "Password=Not Required", "FilePassword=f pw", "File=f"});
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->filePassword, "f pw");
    const auto positional = request({"/SyncIn", "-FilePassword=-", "free", "Not Required", "f.syn"});
    EXPECT_EQ(shape(positional), "I|free|Not Required|f.syn");
    EXPECT_EQ(positional->filePassword, "-");
}

TEST_F(CommandLineRunTest, AUserWithoutPasswordGivesTheFileOneOrNothingRuns) {
    home.addUser("free", "Not Required");
    work.addUser("free", "Not Required");
    home.addEntry("free", {"Mail", "free", "m"});

    EXPECT_EQ(run(home, 'O', "free", "Not Required", file()), kSyncFailed);
    ASSERT_EQ(err.size(), 1);
    EXPECT_TRUE(err[0].startsWith("Synchonization cancelled: free has no password")) << err[0].toStdString();
    EXPECT_TRUE(err[0].contains("FilePassword=")) << err[0].toStdString();
    EXPECT_FALSE(QFile::exists(file()));
    EXPECT_EQ(run(home, 'O', "free", "Not Required", file(), "Not Required"), kSyncFailed);
    EXPECT_FALSE(QFile::exists(file()));

    // The password, then the file's password, each a line of standard input.
    typed = {"Not Required", "f1le pw"};
    EXPECT_EQ(run(home, 'O', "free", "-", file(), "-"), kSyncSucceeded);
    EXPECT_EQ(passwordReads, 2);
    EXPECT_TRUE(readSyncFile(file(), "Not Required").empty());
    EXPECT_EQ(readSyncFile(file(), "f1le pw").size(), 1u);

    EXPECT_EQ(run(work, 'I', "free", "Not Required", file()), kSyncFailed);
    EXPECT_TRUE(err[0].startsWith("Synchonization cancelled: free has no password")) << err[0].toStdString();
    EXPECT_EQ(run(work, 'I', "free", "Not Required", file(), "other"), kSyncFailed);
    EXPECT_TRUE(work.entries().empty());
    EXPECT_EQ(run(work, 'I', "free", "Not Required", file(), "f1le pw"), kSyncSucceeded);
    EXPECT_EQ(work.entries().size(), 1u);
}

TEST_F(CommandLineRunTest, IncompleteParametersAreShownAndNothingRuns) {
    home.addUser("joe", "pw");
    EXPECT_EQ(run(home, 'O', "joe", "pw", ""), kSyncParametersIncorrect);
    ASSERT_EQ(home.prompter().asked.size(), 1u);
    EXPECT_EQ(home.prompter().asked[0].title, "Synchonization cancelled");
    EXPECT_EQ(home.prompter().asked[0].text, "Synchonization parameters incorrect.  Check command line.");
    EXPECT_EQ(err, QStringList{"Synchonization cancelled: Synchonization parameters incorrect.  Check command line."});
    EXPECT_EQ(passwordReads, 0);

    // With no display the prompts are lines on standard error too: the
    // message is printed once, not again by the prompter.
    struct LinePrompter : ScriptedPrompter {
        bool showsWindows() const override { return false; }
    } lines;
    home.here();
    err.clear();
    EXPECT_EQ(runCommandLineSync({'O', "joe", "pw", "", ""}, home.managers(), lines, io), kSyncParametersIncorrect);
    EXPECT_TRUE(lines.asked.empty());
    EXPECT_EQ(err.size(), 1);
}

// A FAT USB stick cannot make a file readable by its owner alone: the sealed
// file is written there all the same.
TEST_F(CommandLineRunTest, SendsToADriveThatCannotKeepFilesPrivate) {
    home.addUser("joe", "pw");
    work.addUser("joe", "pw");
    home.addEntry("joe", {"Mail", "joe", "m"});
    private_file::simulateModelessFileSystem(true);
    const int sent = run(home, 'O', "joe", "pw", file());
    private_file::simulateModelessFileSystem(false);
    EXPECT_EQ(sent, kSyncSucceeded) << err.join("\n").toStdString();
    EXPECT_EQ(readSyncFile(file(), "pw").size(), 1u);

    FatMount stick;
    if (!stick.mounted()) GTEST_SKIP() << "no FAT file system through FUSE here: " << stick.why().toStdString();
    const QString onStick = stick.path("quillock.syn");
    EXPECT_EQ(run(home, 'O', "joe", "pw", onStick), kSyncSucceeded) << err.join("\n").toStdString();
    EXPECT_EQ(run(home, 'O', "joe", "pw", onStick), kSyncSucceeded) << "an earlier file is replaced";
    EXPECT_EQ(run(work, 'I', "joe", "pw", onStick), kSyncSucceeded) << err.join("\n").toStdString();
    EXPECT_EQ(work.entries().size(), 1u);
}
