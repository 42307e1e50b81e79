#include "DataFolderFixture.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "tests/support/QtPrinters.h"

using namespace ql;
namespace se = ql::store_error;

namespace {

class RecordManagersTest : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};

    void addUser(DataTable& users, const QString& name) {
        managers.users.primeRecord(users.record());
        users.record().setText("U_:NAME", name);
        ASSERT_EQ(managers.users.insert(users), se::NoError);
    }
    void addEntry(DataTable& passwords, const QString& user, const QString& service) {
        managers.passwords.primeRecord(passwords.record());
        passwords.record().setText("P_:USER", user);
        passwords.record().setText("P_:SERVICE", service);
        passwords.record().setText("P_:NAME", u"login");
        ASSERT_EQ(managers.passwords.insert(passwords), se::NoError);
    }
    // Two users, alice and bob, in the open tables `users` and `passwords`.
    void openWithAliceAndBob(DataTable& users, DataTable& passwords) {
        ASSERT_EQ(managers.users.open(users), se::NoError);
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
        addUser(users, "alice");
        addUser(users, "bob");
    }
    // Makes `name` the current record of `users`.
    void fetchUser(DataTable& users, const QString& name) {
        users.record().setText("U_:NAME", name);
        ASSERT_EQ(users.fetch(usersTable().keyIndex("U_:KEYNAME")), se::NoError);
    }
    std::vector<QString> usersOfEntries() {
        DataTable passwords(passwordsTable());
        EXPECT_EQ(managers.passwords.open(passwords), se::NoError);
        std::vector<QString> users;
        passwords.setStoredOrder();
        while (passwords.next() == se::NoError) users.push_back(passwords.record().text("P_:USER"));
        return users;
    }
};

} // namespace

TEST_F(RecordManagersTest, RenamingAndDeletingAUserCarriesHisEntriesAlong) {
    DataTable users(usersTable()), passwords(passwordsTable());
    openWithAliceAndBob(users, passwords);
    addEntry(passwords, "alice", "mail");
    addEntry(passwords, "ALICE", "bank");
    addEntry(passwords, "bob", "mail");

    fetchUser(users, "alice");
    users.record().setText("U_:NAME", u"Alicia");
    ASSERT_EQ(managers.userRelations.updateUser(users, "alice"), se::NoError);
    EXPECT_EQ(usersOfEntries(), (std::vector<QString>{"Alicia", "Alicia", "bob"}));

    fetchUser(users, "Alicia");
    ASSERT_EQ(managers.userRelations.deleteUser(users), se::NoError);
    EXPECT_EQ(usersOfEntries(), (std::vector<QString>{"bob"}));
    EXPECT_EQ(users.records(), 1);
}

TEST_F(RecordManagersTest, RenamingToATakenNameChangesNothing) {
    DataTable users(usersTable()), passwords(passwordsTable());
    openWithAliceAndBob(users, passwords);
    addEntry(passwords, "alice", "mail");
    fetchUser(users, "alice");
    users.record().setText("U_:NAME", u"BOB");
    EXPECT_EQ(managers.userRelations.updateUser(users, "alice"), se::DuplicateKey);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Duplicate Key Error");
    EXPECT_EQ(prompter.asked[0].text, "Adding this record creates a duplicate entry for the key: Name");
    EXPECT_EQ(usersOfEntries(), (std::vector<QString>{"alice"}));
}

TEST_F(RecordManagersTest, WaitRangeAndSavedLevelRules) {
    Record entry(passwordsTable());
    managers.passwords.primeRecord(entry);
    EXPECT_EQ(entry.number("P_:LEVEL"), 4000);
    const int wait = entry.fieldIndex("P_:SECONDSTOWAIT");
    for (int accepted : {0, 199}) {
        entry.setNumber(wait, accepted);
        EXPECT_TRUE(managers.passwords.validateField(entry, wait));
    }
    EXPECT_TRUE(prompter.asked.empty());
    entry.setNumber(wait, 200);
    EXPECT_EQ(managers.passwords.validateRecord(entry), wait);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Range Error");
    EXPECT_EQ(prompter.asked[0].text,
              "The value of Seconds before start of automatic send to must be between 0 and 199.");
    EXPECT_EQ(entry.number("P_:LEVEL"), 10000); // set before the rules run

    entry.setNumber(wait, 5);
    entry.setNumber("P_:LEVEL", 123);
    EXPECT_EQ(managers.passwords.validateRecord(entry), -1);
    EXPECT_EQ(entry.number("P_:LEVEL"), 10000);

    Record setting(configurationTable());
    managers.configuration.primeRecord(setting);
    EXPECT_GT(setting.number("CF:DATEADDED"), 0);
    Record user(usersTable());
    managers.users.primeRecord(user);
    EXPECT_EQ(user.number("U_:LEVEL"), 4000);
}

TEST_F(RecordManagersTest, SettingsReadBlankUntilWrittenAndTheFirstWriteAddsARecord) {
    DataTable config(configurationTable());
    ASSERT_EQ(config.create(), se::NoError);
    ConfigurationSettings settings(prompter);
    EXPECT_TRUE(settings.isEmpty());
    EXPECT_EQ(settings.getSetting("QL_GD"), "");
    EXPECT_TRUE(prompter.asked.empty());
    settings.putSetting("30", "QL_GD");
    EXPECT_EQ(settings.table().records(), 1);
    EXPECT_EQ(settings.table().record().number("CF:DATEADDED"), 0);
    settings.putSetting("40", "QL_GD");
    EXPECT_EQ(settings.table().records(), 1);
    ConfigurationSettings other(prompter);
    EXPECT_EQ(other.getSetting("ql_gd"), "40");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(RecordManagersTest, SettingsFailuresAreShownAsErrorMessages) {
    ConfigurationSettings settings(prompter); // no Configuration table in the folder
    EXPECT_FALSE(settings.isEmpty()) << "a table that cannot be read is not an empty one";
    EXPECT_EQ(settings.getSetting("QL_CI"), "");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Error!");
    EXPECT_TRUE(prompter.asked[0].text.startsWith(
        "Error retrieving configuration information code QL_CI - "));
    settings.putSetting("1", "QL_CI");
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_TRUE(prompter.asked[1].text.startsWith(
        "Error writing configuration information.  Code QL_CI - "));
}

TEST_F(RecordManagersTest, MissingTablesAreCreatedEmptyWhereTheManagerCreates) {
    DataTable users(usersTable());
    EXPECT_EQ(managers.users.open(users), se::NoError);
    EXPECT_EQ(users.records(), 0);
    DataTable config(configurationTable());
    EXPECT_THROW(managers.configuration.open(config), Halted); // never created by its manager
    ASSERT_FALSE(prompter.asked.empty());
    EXPECT_EQ(prompter.asked.back().title, "File Access Error");
}

TEST_F(RecordManagersTest, ABufferCopiedOutOfATableOutlivesTheTable) {
    Record kept(usersTable());
    {
        DataTable users(usersTable());
        ASSERT_EQ(managers.users.open(users), se::NoError);
        addUser(users, "carol");
        kept = users.record();
    }
    EXPECT_EQ(&kept.def(), &usersTable());
    EXPECT_EQ(kept.text("U_:NAME"), "carol");
}
