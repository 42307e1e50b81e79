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

    SyncMachine machine;
    QTemporaryDir media;
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
    EXPECT_EQ(prompter.asked[0].title, "ERROR");
    EXPECT_EQ(machine.entries().size(), 2u);
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
