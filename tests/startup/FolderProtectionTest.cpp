#include "DataFolderFixture.h"
#include "platform/datakey/FolderLock.h"
#include "platform/datakey/KeyFile.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/secure/PassphraseKdf.h"
#include "store/DataFolderProtection.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "store/StartUpUnlock.h"
#include <QFile>

using namespace ql;
namespace se = ql::store_error;

namespace {

const QString kPassphrase = QStringLiteral("plum tree at dawn");

// Every test starts as a new process would: no data key in use, no offer.
class FolderProtectionTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        useDataKey({});
        protection.limits = kKdfLowest;
    }
    void TearDown() override {
        setNewFolderOffer({});
        setPassphraseWindow({});
        useDataKey({});
        DataFolderTest::TearDown();
    }

    static void addRow(const TableDef& def, const char* field, const char* text) {
        DataTable table(def);
        if (table.open() != se::NoError) {
            ASSERT_EQ(table.create(), se::NoError);
            ASSERT_EQ(table.open(), se::NoError);
        }
        table.record().clear();
        table.record().setText(QLatin1String(field), QString::fromLatin1(text));
        ASSERT_EQ(table.add(), se::NoError);
    }
    // Rows of the table under the key in use; -1 when it does not open.
    static qint64 rows(const TableDef& def) {
        DataTable table(def);
        return table.open() == se::NoError ? table.records() : -1;
    }
    static QByteArray bytesOf(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Unlocks as the next start would.
    qint64 rowsAfterUnlock(const TableDef& def) {
        useDataKey({});
        if (protection.unlock(kPassphrase) != DataFolderProtection::Unlock::Opened) return -2;
        return rows(def);
    }

    DataFolderProtection protection{folder.path()}; // the folder made current
};

TEST_F(FolderProtectionTest, TurningItOnReencryptsTheOldVersionsTablesLeftInTheFolder) {
    addRow(passwordsTable(), "P_:SERVICE", "mail");
    addRow(oldUsersTable(), "U_002:NAME", "AMY"); // not upgraded: it stays in QLDATA
    addRow(oldPasswordsTable(), "P_002:SERVICE", "bank");
    QString error;
    ASSERT_TRUE(protection.turnOn(kPassphrase, error)) << error.toStdString();
    useDataKey({});
    EXPECT_EQ(rows(oldUsersTable()), -1) << "the built-in key no longer opens the old users";
    EXPECT_EQ(rows(oldPasswordsTable()), -1);
    EXPECT_EQ(rowsAfterUnlock(oldUsersTable()), 1) << "the passphrase opens them, for a later upgrade";
    EXPECT_EQ(rows(oldPasswordsTable()), 1);

    ASSERT_TRUE(protection.turnOff(kPassphrase, error)) << error.toStdString();
    useDataKey({});
    EXPECT_EQ(rows(oldUsersTable()), 1) << "turned off, the old tables are under their own key again";
    EXPECT_EQ(rows(passwordsTable()), 1);
}

TEST_F(FolderProtectionTest, ASyncFileInTheFolderIsNoTableOfIt) {
    addRow(passwordsTable(), "P_:SERVICE", "mail");
    QFile sync(QStringLiteral("quillock.syn"));
    ASSERT_TRUE(sync.open(QIODevice::WriteOnly));
    sync.write("QLSYNC sealed bytes that no table key opens");
    sync.close();
    const QByteArray before = bytesOf(sync.fileName());
    EXPECT_FALSE(keyedDataFileNames().contains(sync.fileName()));
    QString error;
    ASSERT_TRUE(protection.turnOn(kPassphrase, error)) << error.toStdString();
    EXPECT_EQ(bytesOf(sync.fileName()), before);
    EXPECT_EQ(rowsAfterUnlock(passwordsTable()), 1);
    ASSERT_TRUE(protection.turnOff(kPassphrase, error)) << error.toStdString();
    EXPECT_EQ(bytesOf(sync.fileName()), before);
}

TEST_F(FolderProtectionTest, ANewFolderIsOfferedAPassphraseOnceAndOpensWithItNextTime) {
    int offers = 0;
    setNewFolderOffer([&offers]() -> std::optional<QString> {
        ++offers;
        return kPassphrase;
    });
    ASSERT_TRUE(protection.isNew());
    {
        ProgramServices services(ProgramKind::Main, {"quillock"}, prompter, throwingHalt());
        EXPECT_EQ(offers, 1);
        EXPECT_TRUE(protection.isProtected());
        EXPECT_TRUE(dataKeyInUse()) << "the tables to come are made under the data key";
        addRow(passwordsTable(), "P_:SERVICE", "mail");
    }
    useDataKey({});
    EXPECT_EQ(rows(passwordsTable()), -1) << "the built-in key does not open them";
    int unlocks = 0;
    setPassphraseWindow([&unlocks](bool) -> std::optional<QString> {
        ++unlocks;
        return kPassphrase;
    });
    {
        ProgramServices services(ProgramKind::Main, {"quillock"}, prompter, throwingHalt());
        EXPECT_EQ(offers, 1) << "a protected folder is offered nothing";
        EXPECT_EQ(unlocks, 1);
        EXPECT_EQ(rows(passwordsTable()), 1);
    }
}

TEST_F(FolderProtectionTest, LaterLeavesTheFolderOpenAndIsNotAskedAgain) {
    int offers = 0;
    setNewFolderOffer([&offers]() -> std::optional<QString> {
        ++offers;
        return std::nullopt;
    });
    {
        ProgramServices monitor(ProgramKind::Monitor, {"qlmon"}, prompter, throwingHalt());
        ProgramServices services(ProgramKind::Main, {"quillock"}, prompter, throwingHalt());
        EXPECT_EQ(offers, 1);
        EXPECT_FALSE(protection.isProtected());
        addRow(usersTable(), "U_:NAME", "amy"); // the start goes on and makes its tables
    }
    ProgramServices services(ProgramKind::Main, {"quillock"}, prompter, throwingHalt());
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(rows(usersTable()), 1);
}

TEST_F(FolderProtectionTest, EveryProgramSharesTheFolderForAsLongAsItRuns) {
    addRow(passwordsTable(), "P_:SERVICE", "mail");
    QString error;
    {
        ProgramServices monitor(ProgramKind::Monitor, {"qlmon"}, prompter, throwingHalt());
        ASSERT_NE(monitor.folderLock(), nullptr);
        EXPECT_TRUE(monitor.folderLock()->held());
        EXPECT_FALSE(protection.turnOn(kPassphrase, error));
        EXPECT_FALSE(protection.isProtected());
        ProgramServices main(ProgramKind::Main, {"quillock"}, prompter, throwingHalt());
        EXPECT_TRUE(main.folderLock()->othersHold());
    }
    EXPECT_TRUE(protection.turnOn(kPassphrase, error)) << error.toStdString();
}

} // namespace
