#include "FakeWords.h"
#include "entries/PasswordTypes.h"
#include "entries/views/GeneratePasswordDialog.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "store/WordList.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/TestApp.h"
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::ModalAnswers;
namespace pt = password_type;

namespace {

// The generator over a fresh data folder with user "amy" and one of her entries.
class GeneratorDialog : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            kind(), QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
        DataTable configuration(configurationTable());
        ASSERT_EQ(configuration.create(), 0);
        DataTable users(usersTable());
        ASSERT_EQ(services_->managers().users.open(users), 0);
        users.record().setText("U_:NAME", u"amy");
        ASSERT_EQ(users.add(), 0);
        user_.setText("U_:NAME", u"amy");
        entry_.setText("P_:USER", u"amy");
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }
    virtual ProgramKind kind() const { return ProgramKind::Main; }

    int run(std::vector<ModalAnswers::Step> steps) {
        ModalAnswers answers(std::move(steps));
        const int result = runGeneratePassword(*services_, clipboard_, user_, entry_);
        EXPECT_TRUE(answers.finished());
        EXPECT_FALSE(answers.timedOut());
        return result;
    }
    static void press(QWidget& w, const char* name) {
        QMetaObject::invokeMethod(w.findChild<QAbstractButton*>(QLatin1String(name)), "click",
                                  Qt::QueuedConnection);
    }
    Record storedUser() {
        DataTable users(usersTable());
        services_->managers().users.open(users);
        users.record().setText("U_:NAME", u"amy");
        users.fetch(usersTable().keyIndex(QLatin1String("U_:KEYNAME")));
        return users.record();
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    FakeClipboard clipboard_;
    std::unique_ptr<ProgramServices> services_;
    Record user_{usersTable()};
    Record entry_{passwordsTable()};
};

class MonitorGeneratorDialog : public GeneratorDialog {
protected:
    ProgramKind kind() const override { return ProgramKind::Monitor; }
};

} // namespace

TEST_F(GeneratorDialog, DefaultsRoundTripThroughTheUserRecordAndTheSettings) {
    const int result = run({{"Generate Password", [](QWidget& w) {
                                 // The joiner can be chosen only for joined words.
                                 w.findChild<QRadioButton*>("typeConcatenated")->click();
                                 w.findChild<QRadioButton*>("joinHyphen")->click();
                                 w.findChild<QRadioButton*>("typeAll")->click();
                                 w.findChild<QSpinBox*>("size")->setValue(20);
                                 press(w, "ok");
                             }}});
    EXPECT_EQ(result, 1);
    const QString password = entry_.text("P_:PASSWORD");
    EXPECT_EQ(password.size(), 20);
    for (QChar c : password) EXPECT_TRUE(kAllCharacters.contains(c));
    EXPECT_EQ(entry_.text("P_:CONFIRMPASSWORD"), password);
    EXPECT_EQ(clipboard_.contents, password);

    const Record stored = storedUser();
    EXPECT_EQ(stored.number("U_:PASSWORDSIZE"), 20);
    EXPECT_EQ(stored.text("U_:PASSWORDTYPE"), pt::AllCharacters);
    EXPECT_EQ(stored.text("U_:CONCATENATIONTYPE"), "Hyphen");
    ConfigurationSettings settings(prompter_);
    EXPECT_EQ(settings.getSetting("SaveSizeamy"), "20");
    EXPECT_EQ(settings.getSetting("SaveTypeamy"), pt::AllCharacters);
    EXPECT_EQ(settings.getSetting("SaveConcamy"), "Hyphen");

    // Another window of the same user, whose buffer was read before the change,
    // opens on the settings; Cancel then leaves the entry alone.
    Record otherWindowsUser(usersTable());
    otherWindowsUser.setText("U_:NAME", u"amy");
    user_ = otherWindowsUser;
    bool allChecked = false, hyphenChecked = false;
    int size = 0;
    EXPECT_EQ(run({{"Generate Password",
                    [&](QWidget& w) {
                        allChecked = w.findChild<QRadioButton*>("typeAll")->isChecked();
                        hyphenChecked = w.findChild<QRadioButton*>("joinHyphen")->isChecked();
                        size = w.findChild<QSpinBox*>("size")->value();
                        press(w, "cancel");
                    }}}),
              2);
    EXPECT_TRUE(allChecked);
    EXPECT_TRUE(hyphenChecked);
    EXPECT_EQ(size, 20);
    EXPECT_EQ(entry_.text("P_:PASSWORD"), password);
    QFile ini(dir_.filePath("POSITION.INI"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[GeneratePassword]"));
}

namespace {

// The window straight over its logic, with scripted numbers and no store.
class GeneratorView : public GeneratorDialog {
protected:
    GeneratePassword logic() {
        GeneratorServices services{random_, words_, settings_, clipboard_, prompter_,
                                   [this](const Record&) { ++userWrites_; }};
        return GeneratePassword(services, user_, entry_);
    }

    ScriptedRandom random_;
    test::FakeWords words_;
    MemorySettings settings_;
    int userWrites_ = 0;
};

} // namespace

TEST_F(GeneratorView, OkWithoutASizeKeepsTheWindowOpenWithTheFocusOnTheSpin) {
    GeneratePassword generator = logic();
    GeneratePasswordDialog dialog(generator, services_->positions(), GeneratorVariant::MainProgram);
    dialog.show();
    auto* spin = dialog.findChild<QSpinBox*>("size");
    EXPECT_EQ(spin->minimum(), 3);
    EXPECT_EQ(spin->maximum(), 128);
    dialog.findChild<QRadioButton*>("typeAlphanumeric")->setFocus();
    spin->findChild<QLineEdit*>()->clear();
    dialog.findChild<QPushButton*>("ok")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), spin);
    EXPECT_TRUE(settings_.writes.empty());

    spin->setValue(3);
    dialog.findChild<QPushButton*>("ok")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(entry_.text("P_:PASSWORD").size(), 3);
    EXPECT_EQ(userWrites_, 1);
}

TEST_F(GeneratorView, TheTypeDecidesWhetherSizeOrJoinerCounts) {
    GeneratePassword generator = logic();
    GeneratePasswordDialog dialog(generator, services_->positions(), GeneratorVariant::MainProgram);
    auto* spin = dialog.findChild<QSpinBox*>("size");
    auto* joiners = dialog.findChild<QRadioButton*>("joinPlus")->parentWidget();
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("typeAlphanumeric")->isChecked());
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_FALSE(joiners->isEnabled());
    dialog.findChild<QRadioButton*>("typeConcatenated")->click();
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_TRUE(joiners->isEnabled());
    dialog.findChild<QRadioButton*>("typeWord")->click();
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_FALSE(joiners->isEnabled());
    EXPECT_EQ(generator.type(), pt::Word);
}

TEST_F(GeneratorView, ShowsTheStrengthOfThePasswordsItOffersAsTheSettingsChange) {
    GeneratePassword generator = logic();
    GeneratePasswordDialog dialog(generator, services_->positions(), GeneratorVariant::MainProgram);
    auto* strength = dialog.findChild<QLabel*>("strength");
    ASSERT_TRUE(strength);
    auto* spin = dialog.findChild<QSpinBox*>("size");
    dialog.findChild<QRadioButton*>("typeAlphabet")->click();
    spin->setValue(3);
    EXPECT_TRUE(strength->text() == "Strength: 0 - Very weak" || strength->text() == "Strength: 1 - Weak")
        << strength->text().toStdString();
    dialog.findChild<QRadioButton*>("typeAll")->click();
    spin->setValue(40);
    EXPECT_EQ(strength->text(), "Strength: 4 - Very strong");
    // No size, no password: nothing to judge.
    spin->findChild<QLineEdit*>()->clear();
    EXPECT_EQ(strength->text(), "");
    // The samples come from the window's own random numbers: what OK makes is
    // still the entry's first password.
    spin->setValue(12);
    dialog.findChild<QPushButton*>("ok")->click();
    EXPECT_EQ(entry_.text("P_:PASSWORD").size(), 12);
}

TEST_F(GeneratorView, FastGenerateLeavesTheDefaultsAloneAndTheMonitorHasNone) {
    GeneratePassword generator = logic();
    GeneratePasswordDialog dialog(generator, services_->positions(), GeneratorVariant::MainProgram);
    dialog.findChild<QRadioButton*>("typeWord")->click();
    QPushButton* fast = dialog.findChild<QPushButton*>("fast");
    ASSERT_TRUE(fast);
    dialog.show();
    dialog.grab().save(QDir(previous_).filePath(QStringLiteral("generate-password.png")));
    EXPECT_EQ(fast->text(), "Fast Generat&e");
    fast->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const QString password = entry_.text("P_:PASSWORD");
    EXPECT_GE(password.size(), 6);
    EXPECT_LE(password.size(), 12);
    EXPECT_EQ(clipboard_.contents, password);
    EXPECT_TRUE(settings_.writes.empty());
    EXPECT_EQ(userWrites_, 0);

    GeneratePassword again = logic();
    GeneratePasswordDialog monitor(again, services_->positions(), GeneratorVariant::MonitorProgram);
    EXPECT_FALSE(monitor.findChild<QPushButton*>("fast"));
    EXPECT_TRUE(monitor.findChild<QPushButton*>("ok"));
    EXPECT_TRUE(monitor.findChild<QPushButton*>("cancel"));
    monitor.show();
    monitor.grab().save(QDir(previous_).filePath(QStringLiteral("generate-password-monitor.png")));
}

TEST_F(MonitorGeneratorDialog, TheMonitorsWindowJoinsWordsFromTheTable) {
    // The main program filled the list; the monitor only reads it.
    QFile list(dir_.filePath("list.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("cat\nhouse\nelephant\ntree\n");
    list.close();
    ASSERT_EQ(fillMissingWords(services_->managers().words, list.fileName()), 4);
    bool hasFast = true;
    run({{"Generate Password", [&](QWidget& w) {
              hasFast = w.findChild<QPushButton*>("fast") != nullptr;
              w.findChild<QRadioButton*>("typeConcatenated")->click();
              w.findChild<QRadioButton*>("joinPlus")->click();
              press(w, "ok");
          }}});
    EXPECT_FALSE(hasFast);
    const QStringList parts = entry_.text("P_:PASSWORD").split(u'+');
    ASSERT_EQ(parts.size(), 2);
    for (const QString& part : parts) EXPECT_TRUE(part == "house" || part == "tree") << part.toStdString();
    EXPECT_TRUE(prompter_.asked.empty());
}
