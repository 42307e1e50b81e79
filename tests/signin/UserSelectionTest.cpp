#include "signin/UserSelection.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include "tests/support/QtPrinters.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// A fresh data folder made current, with the program's owner key and a Users
// file manager that creates the table, as in the main program.
class UsersFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        setOwnerKey(buildOwnerKey());
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    void addUser(const QString& name, const QString& password) {
        DataTable table(usersTable());
        ASSERT_EQ(users_.open(table), 0);
        users_.primeRecord(table.record());
        table.record().setText("U_:NAME", name);
        table.record().setText("U_:PASSWORD", password);
        table.record().setText("U_:CONFIRMPASSWORD", password);
        ASSERT_EQ(users_.insert(table), 0);
    }

    // A password prompt that answers from a list and counts how often it was asked.
    PasswordPrompt typing(std::vector<std::optional<QString>> answers) {
        return [this, answers = std::move(answers)]() mutable -> std::optional<QString> {
            ++prompts_;
            if (answers.empty()) return std::nullopt;
            std::optional<QString> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
    }

    std::vector<QString> shownTexts() const {
        std::vector<QString> texts;
        for (const Prompt& p : prompter_.asked) texts.push_back(p.title + "|" + p.text);
        return texts;
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::vector<QString> halts_;
    ErrorManager errors_{prompter_, [this](const QString& text) { halts_.push_back(text); }};
    FileManager users_{usersTable(), errors_, true};
    int prompts_ = 0;
};

Record userWithPassword(const QString& password) {
    Record user(usersTable());
    user.setText("U_:NAME", u"amy");
    user.setText("U_:PASSWORD", password);
    return user;
}

} // namespace

TEST_F(UsersFolder, FirstRunCreatesTheDefaultUserAndSelectsItWithoutAPrompt) {
    UserSelection selection(users_, prompter_, ProgramKind::Main);
    ASSERT_TRUE(selection.open());
    ASSERT_EQ(selection.rows().size(), 1u);
    EXPECT_EQ(selection.rows()[0].name, kDefaultUserName);
    EXPECT_TRUE(selection.selectsAtOnce());
    EXPECT_TRUE(selection.select(selection.rows()[0], typing({})));
    EXPECT_EQ(prompts_, 0);
    EXPECT_EQ(selection.currentUser().text("U_:NAME"), kDefaultUserName);
    EXPECT_EQ(selection.currentUser().text("U_:PASSWORD"), kNotRequired);
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_TRUE(halts_.empty());

    // Opening again does not add a second default user.
    UserSelection again(users_, prompter_, ProgramKind::Main);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.rows().size(), 1u);
}

TEST_F(UsersFolder, PasswordsAreComparedExactlyAndAWrongOneEndsThePrompt) {
    Record user = userWithPassword("Secret");
    EXPECT_EQ(confirmPassword(user, typing({"Secret"}), prompter_), kCompleted);
    EXPECT_EQ(user.text("U_:CONFIRMPASSWORD"), "Secret");
    EXPECT_EQ(confirmPassword(user, typing({"Secret   "}), prompter_), kCompleted);
    EXPECT_TRUE(prompter_.asked.empty());

    EXPECT_EQ(confirmPassword(user, typing({"secret"}), prompter_), kCancelled);
    EXPECT_EQ(confirmPassword(user, typing({"nothing like it"}), prompter_), kCancelled);
    EXPECT_EQ(shownTexts(), (std::vector<QString>{
                                "Access Denied|Invalid password.  Case does not match.",
                                "Access Denied|Invalid password"}));
    // After a refusal the confirmation holds the password again, never the typed text.
    EXPECT_EQ(user.text("U_:CONFIRMPASSWORD"), "Secret");

    prompter_.asked.clear();
    EXPECT_EQ(confirmPassword(user, typing({std::nullopt}), prompter_), kCancelled);
    EXPECT_TRUE(prompter_.asked.empty()); // a cancelled prompt shows no message
    EXPECT_EQ(prompts_, 5);
}

TEST_F(UsersFolder, OnlyNotRequiredInExactlyThatCaseSkipsThePassword) {
    Record exact = userWithPassword(kNotRequired);
    EXPECT_TRUE(passwordNotRequired(exact));
    EXPECT_EQ(confirmPassword(exact, typing({}), prompter_), kCompleted);
    EXPECT_EQ(prompts_, 0);

    Record lower = userWithPassword("not required");
    EXPECT_FALSE(passwordNotRequired(lower));
    EXPECT_EQ(confirmPassword(lower, typing({"not required"}), prompter_), kCompleted);
    EXPECT_EQ(confirmPassword(lower, typing({kNotRequired}), prompter_), kCancelled);
    EXPECT_EQ(prompts_, 2);
    EXPECT_EQ(shownTexts(),
              std::vector<QString>{"Access Denied|Invalid password.  Case does not match."});
}

TEST_F(UsersFolder, UsersAreListedByNameAndAFailedSelectLeavesNoUser) {
    addUser("zed", "z1");
    addUser("Amy", kNotRequired);
    addUser("bob", "Bob's");
    UserSelection selection(users_, prompter_, ProgramKind::Main);
    ASSERT_TRUE(selection.open());
    std::vector<QString> names;
    for (const UserRow& row : selection.rows()) names.push_back(row.name);
    EXPECT_EQ(names, (std::vector<QString>{"Amy", "bob", "zed"}));
    EXPECT_FALSE(selection.selectsAtOnce());

    const UserRow bob = selection.rows()[1];
    EXPECT_FALSE(selection.select(bob, typing({"bob's"})));
    EXPECT_EQ(selection.currentUser().text("U_:NAME"), QString());
    EXPECT_FALSE(selection.select(bob, typing({std::nullopt})));
    EXPECT_TRUE(selection.select(bob, typing({"Bob's"})));
    EXPECT_EQ(selection.currentUser().text("U_:NAME"), "bob");
    EXPECT_EQ(selection.currentUser().number("U_:LEVEL"), 4000);

    selection.cancel();
    EXPECT_EQ(selection.currentUser().text("U_:NAME"), QString());
    UserSelection monitor(users_, prompter_, ProgramKind::Monitor);
    ASSERT_TRUE(monitor.open());
    monitor.cancel();
    EXPECT_EQ(monitor.currentUser().text("U_:NAME"), kNoUserSelected);
    EXPECT_EQ(monitor.currentUser().text("U_:PASSWORD"), QString());
}

TEST_F(UsersFolder, QuickSelectionCountsUsersInStoredOrder) {
    addUser("zed", kNotRequired);
    addUser("Amy", "pw");
    Record user(usersTable());
    EXPECT_EQ(quickSelectUser(users_, 1, user, typing({}), prompter_), kCompleted);
    EXPECT_EQ(user.text("U_:NAME"), "zed");
    EXPECT_EQ(prompts_, 0);

    EXPECT_EQ(quickSelectUser(users_, 2, user, typing({"PW"}), prompter_), kCancelled);
    EXPECT_EQ(user.text("U_:NAME"), QString());
    EXPECT_EQ(quickSelectUser(users_, 2, user, typing({"pw"}), prompter_), kCompleted);
    EXPECT_EQ(user.text("U_:NAME"), "Amy");

    // Too few users: no user and no message.
    prompter_.asked.clear();
    EXPECT_EQ(quickSelectUser(users_, 3, user, typing({"pw"}), prompter_), kCancelled);
    EXPECT_EQ(user.text("U_:NAME"), QString());
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_EQ(prompts_, 2);

    EXPECT_EQ(firstUserNames(users_, 3), (std::vector<QString>{"zed", "Amy", ""}));
}

TEST_F(UsersFolder, TheMonitorStartsWithTheOnlyUserWhenItNeedsNoPassword) {
    Record user(usersTable());
    monitorStartUser(users_, user);
    EXPECT_EQ(user.text("U_:NAME"), kNoUserSelected); // no users at all

    addUser("solo", "pw");
    monitorStartUser(users_, user);
    EXPECT_EQ(user.text("U_:NAME"), kNoUserSelected); // would need a password

    DataTable table(usersTable());
    ASSERT_EQ(users_.open(table), 0);
    table.setStoredOrder();
    ASSERT_EQ(table.next(), 0);
    table.record().setText("U_:PASSWORD", kNotRequired);
    ASSERT_EQ(users_.update(table), 0);
    monitorStartUser(users_, user);
    EXPECT_EQ(user.text("U_:NAME"), "solo");

    addUser("second", kNotRequired);
    monitorStartUser(users_, user);
    EXPECT_EQ(user.text("U_:NAME"), kNoUserSelected); // a choice to make
}
