// The upgrade of the previous version's tables as the main program's start-up
// runs it: only when a previous version was recorded, and again at the next
// start when a run was cut short.
#include "signin/SettingsKeys.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/OldTablesUpgrade.h"
#include "tests/startup/DataFolderFixture.h"
#include "tests/support/QtPrinters.h"
#include <QCryptographicHash>
#include <QFile>
#include <sys/wait.h>
#include <unistd.h>

using namespace ql;
namespace se = ql::store_error;
namespace k = ql::settings_key;

namespace {

struct QuietProgress : UpgradeProgress {
    void begin() override {}
    void progress(qint64, qint64) override {}
    void end() override {}
};

class FirstRunUpgrade : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        DataTable configuration(configurationTable());
        ASSERT_EQ(configuration.create(), se::NoError);
        DataTable users(oldUsersTable()), entries(oldPasswordsTable());
        ASSERT_EQ(users.create(), se::NoError);
        ASSERT_EQ(entries.create(), se::NoError);
        ASSERT_EQ(users.open(), se::NoError);
        ASSERT_EQ(entries.open(), se::NoError);
        for (const char* name : {"amy", "bob"}) {
            users.record().clear();
            users.record().setText("U_002:NAME", QString::fromLatin1(name));
            ASSERT_EQ(users.add(), se::NoError);
            entries.record().clear();
            entries.record().setText("P_002:USER", QString::fromLatin1(name));
            entries.record().setText("P_002:SERVICE", u"mail");
            ASSERT_EQ(entries.add(), se::NoError);
        }
    }

    // One start of the main program as far as the settings and the upgrade go;
    // `crashAfterCopy` ends the process once that many tables' copies (users
    // first, then entries) have committed, before their old rows are deleted.
    void start(const QString& oldVersion, int crashAfterCopy = 0) {
        RecordManagers managers(errors, ProgramKind::Main);
        ConfigurationSettings settings(prompter);
        QuietProgress progress;
        auto winIni = [oldVersion](const QString& key) {
            return key == k::Version ? oldVersion : QString();
        };
        loadMainStartUp(settings, winIni, [&](double) {
            OldTablesUpgrade upgrade(managers, prompter, progress);
            int copies = 0;
            if (crashAfterCopy > 0)
                upgrade.afterCopy = [&copies, crashAfterCopy] {
                    if (++copies == crashAfterCopy) _exit(0);
                };
            upgrade.run();
        });
    }

    static std::vector<QString> names(const TableDef& def, const char* field) {
        DataTable table(def);
        std::vector<QString> values;
        if (table.open() != se::NoError) return values;
        table.setStoredOrder();
        while (table.next() == se::NoError) values.push_back(table.record().text(field));
        return values;
    }
    static QByteArray oldFileHash() {
        QFile file("QLDATA.qld");
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }
};

} // namespace

TEST_F(FirstRunUpgrade, WithoutARecordedVersionTheOldFileIsNeverTouched) {
    const QByteArray before = oldFileHash();
    for (const QString& version : {QString(), QStringLiteral("2.0"), QStringLiteral("none")}) {
        start(version);
        EXPECT_EQ(oldFileHash(), before) << version.toStdString();
        ASSERT_TRUE(QFile::remove("QL_DATA.qld")); // the next start is a first run again
        QFile::remove("QL_DATA.qld-wal");
        QFile::remove("QL_DATA.qld-shm");
        DataTable configuration(configurationTable());
        ASSERT_EQ(configuration.create(), se::NoError);
    }
    EXPECT_TRUE(names(usersTable(), "U_:NAME").empty());
    EXPECT_TRUE(prompter.asked.empty());
}

class CrashedUpgrade : public FirstRunUpgrade, public ::testing::WithParamInterface<int> {};

TEST_P(CrashedUpgrade, IsFinishedAtTheNextStartWithoutDuplicates) {
    const int copiesBeforeCrash = GetParam();
    const pid_t child = fork();
    if (child == 0) {
        start(QStringLiteral("2.1"), copiesBeforeCrash);
        _exit(1); // the crash point was never reached
    }
    int status = -1;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    // The copy of the table cut short and every one of its old rows are there
    // and readable; a table finished before the crash is gone from QLDATA.
    EXPECT_EQ(names(usersTable(), "U_:NAME"), (std::vector<QString>{"amy", "bob"}));
    EXPECT_EQ(names(oldUsersTable(), "U_002:NAME").size(), copiesBeforeCrash == 1 ? 2u : 0u);
    EXPECT_EQ(names(oldPasswordsTable(), "P_002:USER"), (std::vector<QString>{"amy", "bob"}));
    if (copiesBeforeCrash == 2) {
        EXPECT_EQ(names(passwordsTable(), "P_:USER"), (std::vector<QString>{"amy", "bob"}));
    }

    start(QStringLiteral("9.9")); // the version read now no longer matters
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(names(usersTable(), "U_:NAME"), (std::vector<QString>{"amy", "bob"}));
    EXPECT_EQ(names(passwordsTable(), "P_:USER"), (std::vector<QString>{"amy", "bob"}));
    EXPECT_FALSE(QFile::exists("QLDATA.qld"));

    // Done: a later start finds nothing pending.
    ConfigurationSettings settings(prompter);
    EXPECT_EQ(settings.getSetting(k::UpgradePending), "");
}

std::string copiedTables(const ::testing::TestParamInfo<int>& copies) {
    return copies.param == 1 ? "Users" : "UsersAndEntries";
}

INSTANTIATE_TEST_SUITE_P(AfterTheCopyOf, CrashedUpgrade, ::testing::Values(1, 2), copiedTables);
