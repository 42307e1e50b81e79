#include "store/Layouts.h"
#include "store/OldTablesUpgrade.h"
#include "tests/startup/DataFolderFixture.h"
#include "tests/support/QtPrinters.h"
#include <QFileInfo>

using namespace ql;
namespace se = ql::store_error;

namespace {

// Records what the progress window was asked to show.
struct FakeProgress : UpgradeProgress {
    int opened = 0, closed = 0;
    std::vector<std::pair<qint64, qint64>> shown;
    void begin() override { ++opened; }
    void progress(qint64 processed, qint64 total) override { shown.emplace_back(processed, total); }
    void end() override { ++closed; }
};

QString repeated(const char* piece, int length) {
    QString text;
    while (text.size() < length) text += QLatin1String(piece);
    return text.left(length);
}

class OldTablesUpgradeTest : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};
    FakeProgress progress;
    OldTablesUpgrade upgrade{managers, prompter, progress};

    // Old users (name, password) in stored order, in QLDATA under the old key.
    static void oldUsers(std::initializer_list<std::pair<const char*, const char*>> users) {
        DataTable table(oldUsersTable());
        ASSERT_EQ(table.create(), se::NoError);
        ASSERT_EQ(table.open(), se::NoError);
        for (const auto& [name, password] : users) {
            table.record().clear();
            table.record().setText("U_002:NAME", QString::fromLatin1(name));
            table.record().setText("U_002:PASSWORD", QString::fromLatin1(password));
            table.record().setText("U_002:CONFIRMPASSWORD", QString::fromLatin1(password));
            ASSERT_EQ(table.add(), se::NoError);
        }
    }
    static void oldEntry(const QString& user, const QString& service) {
        DataTable table(oldPasswordsTable());
        ASSERT_EQ(table.create(), se::NoError);
        ASSERT_EQ(table.open(), se::NoError);
        table.record().clear();
        table.record().setText("P_002:USER", user);
        table.record().setText("P_002:SERVICE", service);
        table.record().setText("P_002:NAME", u"login");
        ASSERT_EQ(table.add(), se::NoError);
    }
    void currentUser(const QString& name, const QString& password) {
        managers.users.setCreateWhenMissing(true);
        DataTable users(usersTable());
        ASSERT_EQ(managers.users.open(users), se::NoError);
        users.record().clear();
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:PASSWORD", password);
        ASSERT_EQ(users.add(), se::NoError);
    }
    static std::vector<QString> column(const TableDef& def, const char* field) {
        DataTable table(def);
        std::vector<QString> values;
        if (table.open() != se::NoError) return values;
        table.setStoredOrder();
        while (table.next() == se::NoError) values.push_back(table.record().text(field));
        return values;
    }
    static bool oldFileExists() { return QFileInfo::exists("QLDATA.qld"); }
};

} // namespace

TEST_F(OldTablesUpgradeTest, FullWidthOldValuesArriveExactlyAndTheOldFileGoes) {
    const QString name = repeated("Name", 30), service = repeated("Srv", 30);
    const QString notes = repeated("note ", 254) + u'!', moreNotes = repeated("more", 5000);
    {
        DataTable users(oldUsersTable());
        ASSERT_EQ(users.create(), se::NoError);
        ASSERT_EQ(users.open(), se::NoError);
        users.record().setText("U_002:NAME", name);
        users.record().setText("U_002:PASSWORD", repeated("pw", 25));
        users.record().setText("U_002:NOTES", notes);
        users.record().setNumber("U_002:LASTDATECHANGED", 80000);
        users.record().setText("U_002:OTHER1", u"dropped");
        ASSERT_EQ(users.add(), se::NoError);
        DataTable entries(oldPasswordsTable());
        ASSERT_EQ(entries.create(), se::NoError);
        ASSERT_EQ(entries.open(), se::NoError);
        Record& r = entries.record();
        r.setText("P_002:USER", name);
        r.setText("P_002:SERVICE", service);
        r.setText("P_002:URL", repeated("https://example.org/", 90));
        r.setText("P_002:NAME", repeated("login", 30));
        r.setText("P_002:PASSWORD", repeated("S3cr*t", 30));
        r.setText("P_002:WINDOWTITLETOLOCATE", repeated("Title", 100));
        r.setText("P_002:PASTE", repeated("[Name][Tab]", 255));
        r.setNumber("P_002:SECONDSTOWAIT", 12);
        r.setNumber("P_002:DONOTREPEATSECONDS", 300);
        r.setText("P_002:NOTES", notes);
        r.setText("P_002:MORENOTES", moreNotes);
        r.setText("P_002:TYPEOFSERVICE", u"dropped");
        ASSERT_EQ(entries.add(), se::NoError);
    }
    upgrade.run();
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(progress.opened, 2);
    EXPECT_EQ(progress.closed, 2);
    EXPECT_EQ(progress.shown.back(), (std::pair<qint64, qint64>{1, 1}));
    EXPECT_FALSE(oldFileExists());

    DataTable users(usersTable());
    ASSERT_EQ(users.open(), se::NoError);
    ASSERT_EQ(users.records(), 1);
    users.setStoredOrder();
    ASSERT_EQ(users.next(), se::NoError);
    EXPECT_EQ(users.record().text("U_:NAME"), name);
    EXPECT_EQ(users.record().paddedText(users.record().fieldIndex("U_:NAME")), name + QString(98, u' '));
    EXPECT_EQ(users.record().text("U_:PASSWORD"), repeated("pw", 25));
    EXPECT_EQ(users.record().text("U_:NOTES"), notes);
    EXPECT_EQ(users.record().number("U_:LASTDATECHANGED"), 80000);
    EXPECT_EQ(users.record().number("U_:LEVEL"), 0);

    DataTable entries(passwordsTable());
    ASSERT_EQ(entries.open(), se::NoError);
    entries.setStoredOrder();
    ASSERT_EQ(entries.next(), se::NoError);
    const Record& e = entries.record();
    EXPECT_EQ(e.number("P_:ID"), 1);
    EXPECT_EQ(e.text("P_:USER"), name);
    EXPECT_EQ(e.text("P_:SERVICE"), service);
    EXPECT_EQ(e.text("P_:URL"), repeated("https://example.org/", 90));
    EXPECT_EQ(e.text("P_:PASSWORD"), repeated("S3cr*t", 30));
    EXPECT_EQ(e.text("P_:WINDOWTITLETOLOCATE"), repeated("Title", 100));
    EXPECT_EQ(e.text("P_:PASTE"), repeated("[Name][Tab]", 255));
    EXPECT_EQ(e.number("P_:SECONDSTOWAIT"), 12);
    EXPECT_EQ(e.number("P_:DONOTREPEATSECONDS"), 300);
    EXPECT_EQ(e.text("P_:NOTES"), notes);
    EXPECT_EQ(e.text("P_:MORENOTES"), moreNotes);
    EXPECT_EQ(e.text("P_:STARTTYPE"), "");
}

TEST_F(OldTablesUpgradeTest, ADuplicateAnsweredYesIsSkippedAndKeptInTheOldFile) {
    currentUser("amy", "new");
    oldUsers({{"bob", "b"}, {"AMY", "old"}, {"carl", "c"}});
    oldEntry("bob", "mail");
    prompter.answers = {PromptButton::Yes};
    upgrade.run();
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].title, "ERROR");
    EXPECT_EQ(prompter.asked[0].text, "Error adding record\nCreates duplicate key: Name\nUsers");
    EXPECT_EQ(prompter.asked[0].buttons, int(PromptButton::Yes) | int(PromptButton::No));
    EXPECT_EQ(prompter.asked[1].text,
              "1 users and 0 entries were not upgraded and remain in QLDATA.");
    EXPECT_EQ(column(usersTable(), "U_:NAME"), (std::vector<QString>{"amy", "bob", "carl"}));
    EXPECT_EQ(column(usersTable(), "U_:PASSWORD")[0], "new");
    // The old entries went; their table was dropped alone, the users' table stays.
    EXPECT_EQ(column(passwordsTable(), "P_:USER"), (std::vector<QString>{"bob"}));
    EXPECT_TRUE(oldFileExists());
    EXPECT_EQ(column(oldUsersTable(), "U_002:NAME"), (std::vector<QString>{"AMY"}));
    DataTable oldEntries(oldPasswordsTable());
    EXPECT_EQ(oldEntries.open(), se::NotFound);
}

TEST_F(OldTablesUpgradeTest, ADuplicateAnsweredNoStopsThatTableButKeepsWhatWasCopied) {
    currentUser("amy", "new");
    oldUsers({{"bob", "b"}, {"amy", "old"}, {"carl", "c"}});
    prompter.answers = {PromptButton::No};
    upgrade.upgradeUsers();
    EXPECT_EQ(column(usersTable(), "U_:NAME"), (std::vector<QString>{"amy", "bob"}));
    EXPECT_EQ(column(oldUsersTable(), "U_002:NAME"), (std::vector<QString>{"amy", "carl"}));
    EXPECT_EQ(upgrade.usersLeft(), 2);
    EXPECT_EQ(progress.shown.back(), (std::pair<qint64, qint64>{2, 3}));
}

TEST_F(OldTablesUpgradeTest, NoOldTablesOrAnEmptyOneEndWithoutAMessage) {
    upgrade.run();
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(progress.opened, 2);
    EXPECT_EQ(progress.closed, 2);
    // The current tables exist afterwards, empty.
    EXPECT_TRUE(column(usersTable(), "U_:NAME").empty());

    DataTable entries(oldPasswordsTable());
    ASSERT_EQ(entries.create(), se::NoError);
    entries.close();
    progress.shown.clear();
    upgrade.upgradePasswords();
    EXPECT_EQ(progress.shown, (std::vector<std::pair<qint64, qint64>>{{0, 0}}));
    EXPECT_FALSE(oldFileExists());
}

TEST_F(OldTablesUpgradeTest, AnOldFileUnderAnotherKeyIsLeftAlone) {
    {
        // A file named like the old container that the old key does not open.
        DataTable notOurs(usersTable());
        notOurs.setFileName(QStringLiteral("QLDATA\\!US"));
        ASSERT_EQ(notOurs.create(), se::NoError);
    }
    upgrade.run();
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_TRUE(oldFileExists());
}
