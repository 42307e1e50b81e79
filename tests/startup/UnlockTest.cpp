#include "DataFolderFixture.h"
#include "platform/datakey/KeyFile.h"
#include "platform/recordstore/OwnerKeys.h"
#include "store/DataFolderProtection.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "store/StartUpUnlock.h"
#include "platform/secure/SecretLine.h"
#include <QFile>
#include <unistd.h>

using namespace ql;
namespace se = ql::store_error;

namespace {

const QString kPassphrase = QStringLiteral("plum tree at dawn");

// A data folder with entries, protected by a passphrase; each test starts as
// a new process would, with no data key in use.
class UnlockTest : public DataFolderTest {
protected:
    std::vector<bool> asked; // the retry flag of every question
    std::vector<QString> answers;

    void SetUp() override {
        DataFolderTest::SetUp();
        useDataKey({});
        DataTable passwords(passwordsTable());
        ASSERT_EQ(passwords.create(), se::NoError);
        ASSERT_EQ(passwords.open(), se::NoError);
        for (const char* service : {"mail", "bank", "shop"}) {
            passwords.record().clear();
            passwords.record().setText("P_:USER", u"amy");
            passwords.record().setText("P_:SERVICE", QString::fromLatin1(service));
            ASSERT_EQ(passwords.add(), se::NoError);
        }
        passwords.close();
        protection = std::make_unique<DataFolderProtection>(QDir::currentPath());
        protection->limits = kKdfLowest;
        QString error;
        ASSERT_TRUE(protection->turnOn(kPassphrase, error)) << error.toStdString();
        useDataKey({});
        setPassphraseWindow([this](bool retry) -> std::optional<QString> {
            asked.push_back(retry);
            if (answers.empty()) return std::nullopt;
            const QString next = answers.front();
            answers.erase(answers.begin());
            return next;
        });
    }
    void TearDown() override {
        setPassphraseWindow({});
        setPassphraseInput({});
        useDataKey({});
        DataFolderTest::TearDown();
    }

    static qint64 entries() {
        DataTable passwords(passwordsTable());
        return passwords.open() == se::NoError ? passwords.records() : -1;
    }

    QString haltOf(const QStringList& arguments) {
        try {
            unlockDataFolder(arguments, throwingHalt());
        } catch (const Halted& h) {
            return QString::fromStdString(h.what());
        }
        return {};
    }

    std::unique_ptr<DataFolderProtection> protection; // in the test's folder
};

TEST_F(UnlockTest, AWrongPassphraseIsRefusedAndTheRightOneOpensEverything) {
    EXPECT_EQ(entries(), -1) << "the built-in key no longer opens the entries";
    answers = {"plum tree at dusk"};
    EXPECT_EQ(haltOf({"quillock"}), "Unlock Cancelled");
    EXPECT_EQ(asked, (std::vector<bool>{false, true}));
    EXPECT_FALSE(dataKeyInUse()) << "nothing opened with a wrong passphrase";

    asked.clear();
    answers = {"wrong", kPassphrase};
    EXPECT_EQ(haltOf({"quillock"}), "");
    EXPECT_EQ(asked, (std::vector<bool>{false, true}));
    EXPECT_EQ(entries(), 3);
    DataTable words(wordsTable());
    EXPECT_EQ(words.create(), se::NoError) << "new tables are made under the data key too";
}

TEST_F(UnlockTest, TheProgramsAskBeforeTheirServicesStart) {
    answers = {kPassphrase};
    {
        ProgramServices services(ProgramKind::Monitor, {"qlmon"}, prompter, throwingHalt());
        EXPECT_EQ(asked.size(), 1u);
        EXPECT_EQ(entries(), 3);
    }
    useDataKey({});
    EXPECT_THROW(ProgramServices(ProgramKind::Main, {"quillock"}, prompter, throwingHalt()), Halted);
    EXPECT_FALSE(dataKeyInUse());
}

TEST_F(UnlockTest, PassphraseDashReadsOneLineOfStandardInputInsteadOfTheWindow) {
    EXPECT_TRUE(passphraseFromInput({"quillock", "/PASSPHRASE=-"}));
    EXPECT_FALSE(passphraseFromInput({"quillock", "Passphrase=x"}));
    EXPECT_FALSE(passphraseFromInput({"Passphrase=-"})) << "the first argument is the program";
    int reads = 0;
    setPassphraseInput([&reads] { ++reads; return QStringLiteral("no"); });
    EXPECT_EQ(haltOf({"quillock", "Sync=In", "Passphrase=-"}), "Wrong Passphrase");
    EXPECT_EQ(reads, 1);
    setPassphraseInput([] { return kPassphrase; });
    EXPECT_EQ(haltOf({"quillock", "Sync=In", "Passphrase=-"}), "");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(entries(), 3);
}

TEST_F(UnlockTest, ChangingThePassphraseOnlySealsTheKeyAnew) {
    QFile data("QL_DATA.qld");
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray before = data.readAll();
    data.close();
    QString error;
    EXPECT_FALSE(protection->changePassphrase("not it", "new one here", error));
    ASSERT_TRUE(protection->changePassphrase(kPassphrase, "new one here", error)) << error.toStdString();
    EXPECT_FALSE(protection->passphraseOpens(kPassphrase));
    EXPECT_TRUE(protection->passphraseOpens("new one here"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), before);
    EXPECT_EQ(QFileInfo(kKeyFileName).permissions() & 0x0077, 0);
}

TEST_F(UnlockTest, TurningItOffPutsTheBuiltInKeyBack) {
    QString error;
    EXPECT_FALSE(protection->turnOff("not it", error));
    EXPECT_TRUE(protection->isProtected());
    ASSERT_TRUE(protection->turnOff(kPassphrase, error)) << error.toStdString();
    EXPECT_FALSE(protection->isProtected());
    EXPECT_EQ(haltOf({"quillock"}), "");
    EXPECT_TRUE(asked.empty()) << "an open folder asks nothing";
    EXPECT_EQ(entries(), 3);
}

TEST_F(UnlockTest, ADamagedKeyFileStopsTheStart) {
    QFile key(kKeyFileName);
    ASSERT_TRUE(key.open(QIODevice::WriteOnly));
    key.write("QLKEY");
    key.close();
    answers = {kPassphrase};
    EXPECT_EQ(haltOf({"quillock"}), "Key File Damaged");
    EXPECT_FALSE(dataKeyInUse());
}

} // namespace

// The line is taken exactly as typed: blanks at either end and a leading
// U+FEFF stay; only the line end goes.
TEST(SecretLine, ReadsOneLineOfStandardInputExactly) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int savedInput = dup(0);
    ASSERT_EQ(dup2(fds[0], 0), 0);
    const char typed[] = "\xEF\xBB\xBF pass phrase  \r\nsecond\n";
    ASSERT_EQ(write(fds[1], typed, sizeof typed - 1), ssize_t(sizeof typed - 1));
    close(fds[1]);
    clearerr(stdin);
    EXPECT_EQ(readSecretLine(), QString(QChar(0xFEFF)) + QStringLiteral(" pass phrase  "));
    EXPECT_EQ(readSecretLine(), QStringLiteral("second"));
    dup2(savedInput, 0);
    close(savedInput);
    close(fds[0]);
    clearerr(stdin);
}
