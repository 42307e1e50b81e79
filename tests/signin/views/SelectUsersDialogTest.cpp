#include "ModalAnswers.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

// A program started on a fresh data folder, as `quillock Data=folder` starts.
class SignInWindows : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }

    ProgramServices& start(ProgramKind kind) {
        services_ = std::make_unique<ProgramServices>(
            kind, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [this](const QString& text) { halts_.push_back(text); });
        return *services_;
    }

    void addUser(const QString& name, const QString& password) {
        DataTable table(usersTable());
        FileManager& users = services_->managers().users;
        ASSERT_EQ(users.open(table), 0);
        users.primeRecord(table.record());
        table.record().setText("U_:NAME", name);
        table.record().setText("U_:PASSWORD", password);
        ASSERT_EQ(users.insert(table), 0);
    }

    static void press(QWidget& window, const char* button) {
        QPushButton* b = window.findChild<QPushButton*>(QLatin1String(button));
        ASSERT_TRUE(b) << button;
        QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    }
    static ModalAnswers::Step typePassword(const QString& text, const char* button = "ok") {
        return {"Security Check", [text, button](QWidget& w) {
                    w.findChild<QLineEdit*>("password")->setText(text);
                    press(w, button);
                }};
    }

    QString iniText() const {
        QFile file(dir_.filePath("POSITION.INI"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::vector<QString> halts_;
    std::unique_ptr<ProgramServices> services_;
};

} // namespace

TEST_F(SignInWindows, FirstRunSelectsTheDefaultUserWithoutShowingAnything) {
    ProgramServices& services = start(ProgramKind::Main);
    ModalAnswers answers({});
    Record user(usersTable());
    EXPECT_EQ(runSelectUsers(services, user), kCompleted);
    EXPECT_EQ(user.text("U_:NAME"), "Default User");
    EXPECT_EQ(user.text("U_:PASSWORD"), "Not Required");
    EXPECT_TRUE(answers.handled().empty());
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_TRUE(halts_.empty());
    // Never shown, so no window place was written.
    EXPECT_FALSE(iniText().contains("[SelectUsers]"));
}

TEST_F(SignInWindows, ALoneUserWithAPasswordGoesStraightToThePrompt) {
    ProgramServices& services = start(ProgramKind::Main);
    addUser("amy", "Secret");
    Record user(usersTable());
    {
        ModalAnswers answers({typePassword("Secret")});
        EXPECT_EQ(runSelectUsers(services, user), kCompleted);
        EXPECT_EQ(answers.handled(), std::vector<QString>{"Security Check"});
    }
    EXPECT_EQ(user.text("U_:NAME"), "amy");
    EXPECT_TRUE(iniText().contains("[ConfirmPassword]"));

    // The wrong case is refused; the list then shows so that the user may cancel.
    ModalAnswers answers({typePassword("secret"), {"Select User", [](QWidget& w) {
                              press(w, "cancel");
                          }}});
    EXPECT_EQ(runSelectUsers(services, user), kCancelled);
    EXPECT_EQ(answers.handled(), (std::vector<QString>{"Security Check", "Select User"}));
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Access Denied");
    EXPECT_EQ(prompter_.asked[0].text, "Invalid password.  Case does not match.");
    EXPECT_EQ(user.text("U_:NAME"), QString());
    EXPECT_TRUE(iniText().contains("[SelectUsers]"));
    EXPECT_FALSE(answers.timedOut());
}

TEST_F(SignInWindows, TheListLocatesByTypingAndStaysOpenAfterAWrongPassword) {
    ProgramServices& services = start(ProgramKind::Main);
    addUser("carol", "c");
    addUser("Bob", "b2");
    addUser("alice", "Not Required");
    QStringList shown;
    Record user(usersTable());
    ModalAnswers answers({{"Select User",
                           [&](QWidget& w) {
                               auto* list = w.findChild<QTreeWidget*>("users");
                               for (int i = 0; i < list->topLevelItemCount(); ++i)
                                   shown << list->topLevelItem(i)->text(0);
                               shown << list->headerItem()->text(0);
                               QTest::keyClicks(list, "b");
                               shown << list->currentItem()->text(0);
                               press(w, "select");
                           }},
                          typePassword("wrong"),
                          {"Select User", [](QWidget& w) { press(w, "select"); }},
                          typePassword("b2")});
    EXPECT_EQ(runSelectUsers(services, user), kCompleted);
    EXPECT_TRUE(answers.finished());
    EXPECT_EQ(shown, (QStringList{"alice", "Bob", "carol", "Name", "Bob"}));
    EXPECT_EQ(user.text("U_:NAME"), "Bob");
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].text, "Invalid password");
}

TEST_F(SignInWindows, EachWindowKeepsItsOwnUserAndTheMonitorSaysWhenNoneIsChosen) {
    ProgramServices& services = start(ProgramKind::Monitor);
    addUser("amy", "Not Required");
    addUser("bob", "pw");
    Record first(usersTable()), second(usersTable());
    {
        ModalAnswers answers({{"Select User", [](QWidget& w) { press(w, "select"); }}});
        EXPECT_EQ(selectMonitorUser(services, first), kCompleted);
    }
    {
        ModalAnswers answers({{"Select User", [](QWidget& w) { press(w, "cancel"); }}});
        EXPECT_EQ(selectMonitorUser(services, second), kCancelled);
    }
    EXPECT_EQ(first.text("U_:NAME"), "amy");
    EXPECT_EQ(second.text("U_:NAME"), "No User Selected");
    EXPECT_EQ(second.text("U_:PASSWORD"), QString());

    // Confirming a password on its own: cancel is a plain "no".
    Record bob(usersTable());
    bob.setText("U_:NAME", u"bob");
    bob.setText("U_:PASSWORD", u"pw");
    ModalAnswers answers({typePassword("pw", "cancel")});
    EXPECT_EQ(runConfirmPassword(services, bob), kCancelled);
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_EQ(runConfirmPassword(services, first), kCompleted); // needs no password
    EXPECT_EQ(answers.handled().size(), 1u);
}

TEST_F(SignInWindows, ThePasswordPromptMasksAndLimitsTheEntry) {
    IniStore positions;
    positions.openStore(dir_.filePath("POSITION.INI"));
    ConfirmPasswordDialog dialog(positions, false);
    EXPECT_EQ(dialog.windowTitle(), "Security Check");
    QLineEdit* entry = dialog.findChild<QLineEdit*>("password");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->echoMode(), QLineEdit::Password);
    EXPECT_EQ(entry->maxLength(), 128);
    EXPECT_EQ(entry->toolTip(), "Confirmation Password");
    entry->setText("typed");
    EXPECT_EQ(dialog.takeTyped(), "typed");
    EXPECT_TRUE(entry->text().isEmpty());
}
