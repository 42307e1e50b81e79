#include "entries/EntryForm.h"
#include "framework/IniStore.h"
#include "framework/Pictures.h"
#include "platform/core/SystemClock.h"
#include "signin/BrowseUsers.h"
#include "signin/ListColumnFormat.h"
#include "signin/UpdateUsers.h"
#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "tests/startup/DataFolderFixture.h"
#include "tests/support/QtPrinters.h"
#include <set>

using namespace ql;
namespace se = ql::store_error;
using Focus = UpdateUsers::Focus;

namespace {

class UserManagement : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};
    FakeClock clock;
    UserFormServices services{managers.users, managers.userRelations, prompter, clock};
    BrowseUsers list{managers.users, prompter};
    int prompts = 0;

    void SetUp() override {
        DataFolderTest::SetUp();
        managers.users.setCreateWhenMissing(true);
        DataTable passwords(passwordsTable());
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
        ASSERT_TRUE(list.open());
    }
    PasswordPrompt typing(std::optional<QString> answer) {
        return [this, answer] { ++prompts; return answer; };
    }
    const UserRow& row(const QString& name) {
        for (const UserRow& r : list.rows())
            if (r.name == name) return r;
        static const UserRow none;
        ADD_FAILURE() << "no user " << name.toStdString();
        return none;
    }
    // Fills and accepts the form for `request`; true when it closed.
    bool saveUser(int request, const QString& name, const QString& password,
                  const QString& confirmation, Focus* focus = nullptr) {
        UpdateUsers form(services, request, list.table());
        form.open();
        form.user().setText("U_:NAME", name);
        form.user().setText("U_:PASSWORD", password);
        form.user().setText("U_:CONFIRMPASSWORD", confirmation);
        Focus where = Focus::None;
        const bool done = form.ok(where);
        if (focus) *focus = where;
        list.reload();
        return done;
    }
    bool change(const QString& from, const QString& to, const QString& password,
                std::optional<QString> typed) {
        if (!list.prepareForm(form_request::Change, row(from), typing(typed))) return false;
        return saveUser(form_request::Change, to, password, password);
    }
    bool remove(const QString& name, std::optional<QString> typed = std::nullopt) {
        if (!list.prepareForm(form_request::Delete, row(name), typing(typed))) return false;
        UpdateUsers form(services, form_request::Delete, list.table());
        form.open();
        Focus focus;
        const bool done = form.ok(focus);
        list.reload();
        return done;
    }
    void addEntries(const QString& user, std::initializer_list<const char*> services_) {
        DataTable passwords(passwordsTable());
        ASSERT_EQ(managers.passwords.open(passwords), se::NoError);
        for (const char* service : services_) {
            managers.passwords.primeRecord(passwords.record());
            passwords.record().setText("P_:USER", user);
            passwords.record().setText("P_:SERVICE", QString::fromLatin1(service));
            ASSERT_EQ(managers.passwords.insert(passwords), se::NoError);
        }
    }
    std::multiset<QString> entryOwners() {
        DataTable passwords(passwordsTable());
        EXPECT_EQ(passwords.open(), se::NoError);
        std::multiset<QString> owners;
        passwords.setStoredOrder();
        while (passwords.next() == se::NoError) owners.insert(passwords.record().text("P_:USER"));
        return owners;
    }
    std::vector<QString> names() const {
        std::vector<QString> all;
        for (const UserRow& r : list.rows()) all.push_back(r.name);
        return all;
    }
    QString lastMessage() const {
        return prompter.asked.empty() ? QString()
                                      : prompter.asked.back().title + "|" + prompter.asked.back().text;
    }
};

} // namespace

TEST_F(UserManagement, AnEmptyListGetsTheDefaultUserAndBlankPasswordsMeanNoQuestion) {
    EXPECT_EQ(names(), (std::vector<QString>{"Default User"}));
    clock.day = 80000;
    clock.time = 4'500'001; // 12:30 PM
    ASSERT_TRUE(saveUser(form_request::Insert, "joe", "", ""));
    EXPECT_EQ(names(), (std::vector<QString>{"Default User", "joe"}));

    UserSelection selection(managers.users, prompter, ProgramKind::Main);
    ASSERT_TRUE(selection.open());
    ASSERT_TRUE(selection.select(selection.rows()[1], typing("anything")));
    EXPECT_EQ(prompts, 0); // logged in without a question
    EXPECT_EQ(selection.currentUser().text("U_:PASSWORD"), "Not Required");
    EXPECT_EQ(selection.currentUser().text("U_:CONFIRMPASSWORD"), "Not Required");
    EXPECT_EQ(selection.currentUser().number("U_:LEVEL"), 4000);

    ASSERT_TRUE(list.prepareForm(form_request::Change, row("joe"), typing(std::nullopt)));
    UpdateUsers form(services, form_request::Change, list.table());
    form.open();
    EXPECT_EQ(form.windowTitle(), "Changing User");
    EXPECT_EQ(form.lastChangedLine(), "Last changed " + formatDate(80000, "d4") + " 12:30PM");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(UserManagement, TheFormRefusesMismatchedPasswordsABlankNameAndATakenName) {
    Focus focus = Focus::None;
    EXPECT_FALSE(saveUser(form_request::Insert, "joe", "Secret", "secret", &focus));
    EXPECT_EQ(lastMessage(), "Warning|Passwords do not match.");
    EXPECT_EQ(focus, Focus::Password);
    EXPECT_FALSE(saveUser(form_request::Insert, "   ", "x", "x", &focus));
    EXPECT_EQ(focus, Focus::Name);
    EXPECT_TRUE(lastMessage().startsWith("Warning|Enter a name for the user"));
    EXPECT_FALSE(saveUser(form_request::Insert, "default user", "x", "x", &focus));
    EXPECT_EQ(lastMessage(), "Duplicate Key Error|Adding this record creates a duplicate entry for the key: Name");
    EXPECT_EQ(names(), (std::vector<QString>{"Default User"}));
    // Trailing blanks do not count in the confirmation, but the password keeps them.
    EXPECT_TRUE(saveUser(form_request::Insert, "ann", "Secret  ", "Secret", &focus));
    EXPECT_EQ(names(), (std::vector<QString>{"ann", "Default User"}));
}

TEST_F(UserManagement, AProtectedUserIsChangedOnlyAfterHisPasswordIsConfirmed) {
    ASSERT_TRUE(saveUser(form_request::Insert, "amy", "Pa55", "Pa55"));
    addEntries("amy", {"mail"});
    addEntries("AMY", {"bank"});

    EXPECT_FALSE(change("amy", "amelia", "Pa55", "pa55"));
    EXPECT_EQ(lastMessage(), "Access Denied|Invalid password.  Case does not match.");
    EXPECT_FALSE(change("amy", "amelia", "Pa55", std::nullopt)); // cancelled
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(names(), (std::vector<QString>{"amy", "Default User"}));
    EXPECT_EQ(entryOwners(), (std::multiset<QString>{"amy", "AMY"}));

    ASSERT_TRUE(change("amy", "amelia", "Pa55", "Pa55"));
    EXPECT_EQ(names(), (std::vector<QString>{"amelia", "Default User"}));
    EXPECT_EQ(entryOwners(), (std::multiset<QString>{"amelia", "amelia"}));
    // A user without a password is changed without a question.
    prompts = 0;
    ASSERT_TRUE(change("Default User", "Someone", "Not Required", "typed"));
    EXPECT_EQ(prompts, 0);
}

TEST_F(UserManagement, DeletingRemovesExactlyHisEntriesAndTheLastUserStays) {
    ASSERT_TRUE(saveUser(form_request::Insert, "amy", "pw", "pw"));
    addEntries("amy", {"mail", "bank"});
    addEntries("Default User", {"mail"});
    EXPECT_FALSE(remove("amy", "wrong"));
    EXPECT_EQ(entryOwners().count("amy"), 2u);
    ASSERT_TRUE(remove("amy", "pw"));
    EXPECT_EQ(names(), (std::vector<QString>{"Default User"}));
    EXPECT_EQ(entryOwners(), (std::multiset<QString>{"Default User"}));

    EXPECT_FALSE(remove("Default User"));
    EXPECT_EQ(lastMessage(), "Cannot Delete|You must have at least one user.");
    EXPECT_EQ(names(), (std::vector<QString>{"Default User"}));
}

TEST(ListColumns, TheUsersArrangementAppliesUntilTheDesignChanges) {
    QTemporaryDir dir;
    IniStore store;
    store.openStore(dir.filePath("POSITION.INI"));
    ListColumnFormat first({{"Name", "@s128", 240}});
    EXPECT_EQ(first.restore(store, "BrowseUsers")[0].width, 240);
    EXPECT_EQ(store.readSetting("BrowseUsers", ListColumnFormat::kOriginalKey), "Name,@s128,240");
    first.save(store, "BrowseUsers", {310});

    ListColumnFormat again({{"Name", "@s128", 240}});
    EXPECT_EQ(again.restore(store, "BrowseUsers")[0].width, 310);
    // A changed design starts from itself and becomes the new original.
    ListColumnFormat redesigned({{"Name", "@s128", 240}, {"Changed", "@d17", 90}});
    redesigned.applyDateFormat("d4");
    const auto& columns = redesigned.restore(store, "BrowseUsers");
    EXPECT_EQ(columns[0].width, 240);
    EXPECT_EQ(columns[1].picture, "@d4");
    // A stored arrangement that is not a column format is ignored.
    store.writeSetting("BrowseUsers", ListColumnFormat::kCurrentKey, "Name,@s128,99999999");
    EXPECT_EQ(ListColumnFormat(redesigned.columns()).restore(store, "BrowseUsers")[0].width, 240);
}
