// The synchronization windows: "Synchronize", the procedures behind its
// buttons and the progress window, with scripted dialogs and messages.
#include "SyncMachine.h"
#include "exchange/views/SyncProcedures.h"
#include "exchange/views/SyncProgressWindow.h"
#include "exchange/views/SynchronizeWindow.h"
#include "store/StartUp.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <future>

using namespace ql;
using namespace ql::test;

namespace {

// The main program started on a data folder, with its menu procedures.
class SyncWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        machine.addUser("joe", "pw");
        machine.addEntry("joe", {"Mail", "joe", "m"});
        machine.addEntry("joe", {"Bank", "joe", "b"});
        services = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"quillock", "Data=" + machine.path("")}, prompter,
            [](const QString&) {});
        procedures = std::make_unique<SyncProcedures>(*services, dialogs, fileName);
        procedures->limits = kFastLimits;
        procedures->selectUser = [this](Record& user, QWidget*) {
            ++selections;
            if (chosenUser.isEmpty()) return 2;
            user = machine.user(chosenUser);
            services->dataFolder(); // the folder stays current
            return 1;
        };
    }

    // Answers the file password questions from a list; records the questions.
    void typePasswords(QStringList answers) {
        typed = std::move(answers);
        procedures->askPassword = [this](const QString& question, QWidget*) -> std::optional<QString> {
            questions << question;
            if (typed.isEmpty()) return std::nullopt;
            return typed.takeFirst();
        };
    }

    SyncMachine machine;
    QTemporaryDir media;
    QStringList typed, questions;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    QString fileName = defaultSyncFilePath(); // as the program starts
    QString chosenUser = "joe";
    int selections = 0;
    std::unique_ptr<ProgramServices> services;
    std::unique_ptr<SyncProcedures> procedures;
};

// A run that never ends by itself.
class EndlessRun : public SyncRun {
public:
    int steps = 0;
    bool cancelled = false;
    bool start() override { return true; }
    bool useKey(const std::optional<SyncKey>&) override { return true; }
    bool step(int) override { ++steps; return true; }
    void cancel() override { cancelled = true; }
    int percent() const override { return 42; }
};

} // namespace

TEST_F(SyncWindowsTest, SendingAndReceivingFromTheMenuShareTheFileName) {
    const QString target = media.filePath("home.syn");
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].save);
    EXPECT_EQ(dialogs.asked[0].request.title, "File to Send to...");
    EXPECT_EQ(dialogs.asked[0].request.filter, "Synchronization Files|*.SYN");
    EXPECT_EQ(dialogs.asked[0].request.initialName, QDir::home().filePath("quillock.syn"))
        << "the dialog starts in the home folder, not the data folder";
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Done");
    EXPECT_EQ(prompter.asked[0].text, "Records added to the synchonization file:  2");
    EXPECT_EQ(readSyncFile(target, "pw").size(), 2u);
    EXPECT_EQ(fileName, target);

    // Receiving starts from the file just sent; nothing is newer, nothing is said.
    dialogs.answers = {target};
    procedures->syncReceive(nullptr);
    EXPECT_FALSE(dialogs.asked[1].save);
    EXPECT_EQ(dialogs.asked[1].request.title, "File to Receive from...");
    EXPECT_EQ(dialogs.asked[1].request.initialName, target);
    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(services->positions().readSetting("SyncSend", "Maximize"), "No");
}

TEST_F(SyncWindowsTest, ReceivingAWatchedEntryTellsTheMonitorOfTheReceivingUser) {
    machine.addUser("ann", "pw");
    machine.addEntry("joe", {"Watched", "joe", "w"}, [](Record& r) { r.setNumber("P_:MONITOR", 1); });
    const QString target = media.filePath("joe.syn");
    QStringList told;
    procedures->watchedEntriesChanged = [&told](const QString& user) { told << user; };
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    EXPECT_TRUE(told.isEmpty()) << "sending changes nothing here";
    chosenUser = "ann";
    dialogs.answers = {target};
    procedures->syncReceive(nullptr);
    EXPECT_EQ(told, QStringList{"ann"});
    dialogs.answers = {target};
    procedures->syncReceive(nullptr); // nothing newer: nothing written
    EXPECT_EQ(told, QStringList{"ann"});
}

TEST_F(SyncWindowsTest, CancellingADialogEndsTheRunBeforeAnyFileIsTouched) {
    procedures->syncSend(nullptr); // no file chosen
    EXPECT_EQ(selections, 0);
    const QString target = media.filePath("keep.syn");
    writeBytes(target, "old contents");
    chosenUser.clear();
    dialogs.answers = {target, target};
    procedures->syncSend(nullptr);    // no user chosen
    procedures->syncReceive(nullptr);
    EXPECT_EQ(selections, 2);
    EXPECT_EQ(fileBytes(target), "old contents");
    EXPECT_TRUE(prompter.asked.empty());

    // The data folder's own files are refused as a target.
    chosenUser = "joe";
    dialogs.answers = {machine.path("QL_DATA.qld")};
    procedures->syncSend(nullptr);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "File Refused");
    EXPECT_EQ(machine.entries().size(), 2u);
}

TEST_F(SyncWindowsTest, AUserWithoutPasswordGivesTheFileAPasswordTwiceAndTypesItToReceive) {
    machine.addUser("free", "Not Required");
    machine.addEntry("free", {"Mail", "free", "m"});
    chosenUser = "free";
    const QString target = media.filePath("free.syn");

    // Cancelled at the second question: nothing is written.
    typePasswords({"f1le pw"});
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].startsWith("free has no password.")) << questions[0].toStdString();
    EXPECT_FALSE(QFile::exists(target));

    // "Not Required" and two passwords that differ are refused, then asked again.
    questions.clear();
    typePasswords({"Not Required", "f1le pw", "typo", "f1le pw", "f1le pw"});
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    EXPECT_EQ(questions.size(), 5);
    ASSERT_EQ(prompter.asked.size(), 3u);
    EXPECT_EQ(prompter.asked[0].title, "File Password Required");
    EXPECT_EQ(prompter.asked[1].text, "The two passwords differ.  Type them again.");
    EXPECT_EQ(prompter.asked[2].title, "Done");
    EXPECT_TRUE(readSyncFile(target, "Not Required").empty());
    EXPECT_EQ(readSyncFile(target, "f1le pw").size(), 1u);

    // Receiving asks once; the file's password opens it.
    machine.addUser("other", "Not Required");
    chosenUser = "other";
    questions.clear();
    typePasswords({"f1le pw"});
    dialogs.answers = {target};
    procedures->syncReceive(nullptr);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(machine.entry("other", "Mail", "free"));

    // A user with a password is asked nothing more.
    chosenUser = "joe";
    questions.clear();
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    EXPECT_TRUE(questions.isEmpty());
}

// A receive whose key takes long: the window answers and Cancel ends the run
// while the key is still being derived.
TEST_F(SyncWindowsTest, TheWindowAnswersAndCancelsWhileTheKeyIsDerived) {
    const QString target = media.filePath("slow.syn");
    dialogs.answers = {target};
    procedures->syncSend(nullptr);
    ASSERT_EQ(readSyncFile(target, "pw").size(), 2u);
    const size_t before = machine.entries().size();

    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    std::atomic<bool> deriving{false};
    DataTable passwords(passwordsTable());
    ASSERT_EQ(services->managers().passwords.open(passwords), se::NoError);
    QFile in(target);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    SyncFileReader reader(in);
    const Record joe = machine.user("joe");
    SyncReceive run(passwords, joe, "pw", reader, target);
    SyncProgressWindow window(run, QString(), "SyncReceive", services->positions());
    window.setKeyDerivation([released, &deriving](const QString& password, const sync_format::Header& header) {
        deriving = true;
        released.wait();
        return SyncKey::derive(password, header);
    });
    int ticks = 0;
    QTimer other; // another part of the program, which must keep running
    QObject::connect(&other, &QTimer::timeout, [&ticks] { ++ticks; });
    other.start(5);
    QString percent;
    ModalAnswers answers({{"Processing Records", [&](QWidget& w) {
                               QTest::qWaitFor([&] { return deriving && ticks > 10; }, 5000);
                               percent = w.findChild<QLabel*>("percent")->text();
                               w.findChild<QPushButton*>("cancel")->click();
                           }}});
    window.runModal();
    release->set_value();
    EXPECT_TRUE(answers.finished());
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(percent, "0% Completed");
    EXPECT_EQ(run.outcome().end, SyncEnd::Cancelled);
    EXPECT_EQ(machine.entries().size(), before);
    QThreadPool::globalInstance()->waitForDone();
}

TEST_F(SyncWindowsTest, TheProgressWindowShowsThePercentageAndCancels) {
    EndlessRun run;
    SyncProgressWindow window(run, "Sending", "SyncSend", services->positions());
    QString title, percent, status;
    ModalAnswers answers({{"Processing Records", [&](QWidget& w) {
                               QTest::qWait(50);
                               title = w.windowTitle();
                               percent = w.findChild<QLabel*>("percent")->text();
                               status = w.findChild<QLabel*>("status")->text();
                               w.findChild<QPushButton*>("cancel")->click();
                           }}});
    window.runModal();
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(title, "Processing Records");
    EXPECT_EQ(percent, "42% Completed");
    EXPECT_EQ(status, "Sending");
    EXPECT_TRUE(run.cancelled);
    EXPECT_GT(run.steps, 0);
    EXPECT_EQ(services->positions().readSetting("SyncSend", "Maximize"), "No");
}

TEST_F(SyncWindowsTest, SynchronizeExplainsItselfAndClosesAfterAnOperation) {
    SynchronizeWindow window(*procedures, services->positions());
    QStringList lines;
    for (QLabel* label : window.findChildren<QLabel*>()) lines << label->text();
    EXPECT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.front(), "This option allows to securely synchronize two");
    EXPECT_EQ(lines.back(), "home and at work.");
    QStringList buttons;
    for (QPushButton* b : window.findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_EQ(buttons, (QStringList{"&Receive", "&Send", "E&xit"}));

    ModalAnswers answers({{"Synchronize", [](QWidget& w) {
                               for (QPushButton* b : w.findChildren<QPushButton*>())
                                   if (b->text() == "&Receive") b->click();
                           }}});
    EXPECT_EQ(window.exec(), QDialog::Accepted); // the file dialog was cancelled
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(services->positions().readSetting("Synchronize", "Maximize"), "No");
}
