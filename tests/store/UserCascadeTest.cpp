#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "tests/startup/DataFolderFixture.h"
#include "tests/support/QtPrinters.h"
#include <set>

using namespace ql;
namespace se = ql::store_error;

namespace {

// Users and their entries in a fresh data folder, written through the managers.
class UserCascade : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};
    DataTable users{usersTable()};

    void SetUp() override {
        DataFolderTest::SetUp();
        managers.users.setCreateWhenMissing(true);
        ASSERT_EQ(managers.users.open(users), se::NoError);
        DataTable passwords(passwordsTable());
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
    }
    void addUser(const QString& name) {
        managers.users.primeRecord(users.record());
        users.record().setText("U_:NAME", name);
        ASSERT_EQ(managers.users.insert(users), se::NoError);
    }
    void addEntries(const QString& user, std::initializer_list<const char*> services) {
        DataTable passwords(passwordsTable());
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
        for (const char* service : services) {
            managers.passwords.primeRecord(passwords.record());
            passwords.record().setText("P_:USER", user);
            passwords.record().setText("P_:SERVICE", QString::fromLatin1(service));
            passwords.record().setText("P_:NAME", u"login");
            ASSERT_EQ(managers.passwords.insert(passwords), se::NoError);
        }
    }
    void makeCurrent(const QString& name) {
        users.record().setText("U_:NAME", name);
        ASSERT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), se::NoError);
    }
    // "user/service" of every entry, in any order.
    std::multiset<QString> entries() {
        DataTable passwords(passwordsTable());
        EXPECT_EQ(passwords.open(), se::NoError);
        std::multiset<QString> all;
        passwords.setStoredOrder();
        while (passwords.next() == se::NoError)
            all.insert(passwords.record().text("P_:USER") + u'/' + passwords.record().text("P_:SERVICE"));
        return all;
    }
    std::set<QString> userNames() {
        DataTable table(usersTable());
        EXPECT_EQ(table.open(), se::NoError);
        std::set<QString> names;
        table.setStoredOrder();
        while (table.next() == se::NoError) names.insert(table.record().text("U_:NAME"));
        return names;
    }
};

} // namespace

TEST_F(UserCascade, RenameMovesEveryEntryWhateverItsLetterCaseAndNoOtherUsers) {
    addUser("bob");
    addUser("bobby");
    addEntries("bob", {"mail", "bank"});
    addEntries("BOB", {"shop"});
    addEntries("bobby", {"mail"});

    makeCurrent("bob");
    users.record().setText("U_:NAME", u"Robert");
    ASSERT_EQ(managers.userRelations.updateUser(users, "bob"), se::NoError);
    EXPECT_EQ(entries(), (std::multiset<QString>{"Robert/mail", "Robert/bank", "Robert/shop",
                                                 "bobby/mail"}));
    // A change of letter case alone is a rename too: the entries take the new spelling.
    makeCurrent("Robert");
    users.record().setText("U_:NAME", u"ROBERT");
    ASSERT_EQ(managers.userRelations.updateUser(users, "Robert"), se::NoError);
    EXPECT_EQ(entries().count("ROBERT/mail"), 1u);
    EXPECT_EQ(userNames(), (std::set<QString>{"ROBERT", "bobby"}));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(UserCascade, DeleteRemovesExactlyThatUsersEntries) {
    addUser("bob");
    addUser("bobby");
    addEntries("bob", {"mail", "bank"});
    addEntries("Bob", {"shop"});
    addEntries("bobby", {"mail"});
    addEntries("bo", {"mail"});

    makeCurrent("bob");
    ASSERT_EQ(managers.userRelations.deleteUser(users), se::NoError);
    EXPECT_EQ(entries(), (std::multiset<QString>{"bobby/mail", "bo/mail"}));
    EXPECT_EQ(userNames(), (std::set<QString>{"bobby"}));
}

TEST_F(UserCascade, AFailureHalfWayThroughARenameLeavesUsersAndEntriesAsTheyWere) {
    addUser("bob");
    addEntries("bob", {"a-mail", "b-bank", "c-shop"});
    // An entry left under "carol" (no such user) clashes with bob's second entry
    // once his entries are renamed to carol: the cascade fails in its middle.
    addEntries("carol", {"b-bank"});
    const auto before = entries();

    makeCurrent("bob");
    const qint64 row = users.recordNumber();
    users.record().setText("U_:NAME", u"carol");
    EXPECT_EQ(managers.userRelations.updateUser(users, "bob"), se::DuplicateKey);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "Adding this record creates a duplicate entry for the key: Service");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(userNames(), (std::set<QString>{"bob"}));
    // The form can go on: the user's record is current and the typed name kept.
    EXPECT_EQ(users.recordNumber(), row);
    EXPECT_EQ(users.record().text("U_:NAME"), "carol");
    users.record().setText("U_:NAME", u"dave");
    ASSERT_EQ(managers.userRelations.updateUser(users, "bob"), se::NoError);
    EXPECT_EQ(entries().count("dave/b-bank"), 1u);
}

TEST_F(UserCascade, ADeleteWhileAnotherWriterHoldsTheFileChangesNothing) {
    addUser("bob");
    addEntries("bob", {"mail"});
    DataTable other(configurationTable());
    ASSERT_EQ(other.create(), se::NoError);
    ASSERT_EQ(other.open(), se::NoError);
    ASSERT_EQ(other.stream(), se::NoError); // holds the container's write lock
    users.send("Recover=0");
    makeCurrent("bob");
    EXPECT_NE(managers.userRelations.deleteUser(users), se::NoError);
    EXPECT_FALSE(prompter.asked.empty());
    other.cancelBatch();
    EXPECT_EQ(entries(), (std::multiset<QString>{"bob/mail"}));
    EXPECT_EQ(userNames(), (std::set<QString>{"bob"}));
}
