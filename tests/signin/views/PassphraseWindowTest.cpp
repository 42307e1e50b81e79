#include "framework/IniStore.h"
#include "platform/core/Prompter.h"
#include "signin/PassphraseRules.h"
#include "signin/views/OptionsDialog.h"
#include "signin/views/PassphraseWindow.h"
#include "signin/views/UnlockWindow.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/WidgetLookup.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;
using ql::test::child;
using ql::test::click;
using Action = PassphraseRequest::Action;

namespace {

TEST(PassphraseRules, StrengthGrowsWithLengthAndCharacterClasses) {
    EXPECT_EQ(passphraseBits(""), 0);
    EXPECT_EQ(passphraseBits("aaaaaaaaaaaa"), passphraseBits("a")) << "a repeated character adds nothing";
    EXPECT_LT(passphraseBits("abcdefgh"), passphraseBits("abcdefghij"));
    EXPECT_LT(passphraseBits("abcdefgh"), passphraseBits("abcDefg8"));
    EXPECT_EQ(passphraseBits("abcdefgh"), 38); // 8 x log2(26)
    EXPECT_EQ(strengthText("abcdefgh"), "Strength: about 38 bits (weak)");
    EXPECT_EQ(strengthText("violet kettle 42 sings"), "Strength: about 128 bits (strong)");
}

TEST(PassphraseRules, RefusesShortOrUnconfirmedPassphrasesAndAMissingCurrentOne) {
    EXPECT_EQ(passphraseRefusal({Action::TurnOn, {}, "1234567", "1234567"}),
              "The passphrase needs at least 8 characters.");
    EXPECT_EQ(passphraseRefusal({Action::TurnOn, {}, "12345678", "12345678"}), "");
    EXPECT_EQ(passphraseRefusal({Action::TurnOn, {}, "12345678", "12345679"}),
              "The two passphrases are not the same.");
    EXPECT_EQ(passphraseRefusal({Action::Change, {}, "12345678", "12345678"}), "Type the passphrase in use now.");
    EXPECT_EQ(passphraseRefusal({Action::TurnOff, "old one", {}, {}}), "");
}

class PassphraseWindows : public ::testing::Test {
protected:
    void SetUp() override { testApp(); }
    ScriptedPrompter prompter;
};

TEST_F(PassphraseWindows, ShowsStrengthAsTypedAndRefusesAShortPassphrase) {
    PassphraseWindow window(false, prompter);
    EXPECT_EQ(window.windowTitle(), "Protect the data folder with a passphrase");
    EXPECT_EQ(window.findChild<QLineEdit*>("current"), nullptr) << "nothing to confirm on an open folder";
    child<QLineEdit>(window, "next").setText("abcdefgh");
    EXPECT_EQ(child<QLabel>(window, "strength").text(), "Strength: about 38 bits (weak)");
    child<QLineEdit>(window, "next").setText("short");
    child<QLineEdit>(window, "confirm").setText("short");
    click(window, "ok");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "The passphrase needs at least 8 characters.");
    EXPECT_EQ(window.result(), 0);
    child<QLineEdit>(window, "next").setText("long enough");
    child<QLineEdit>(window, "confirm").setText("long enough");
    click(window, "ok");
    EXPECT_EQ(window.result(), int(QDialog::Accepted));
    const PassphraseRequest request = window.takeRequest();
    EXPECT_EQ(request.action, Action::TurnOn);
    EXPECT_EQ(request.next, "long enough");
    EXPECT_TRUE(child<QLineEdit>(window, "next").text().isEmpty()) << "taken once";
}

TEST_F(PassphraseWindows, AProtectedFolderAsksTheCurrentOneAndCanTurnItOff) {
    PassphraseWindow window(true, prompter);
    child<QLineEdit>(window, "current").setText("in use now");
    child<QCheckBox>(window, "turnOff").setChecked(true);
    EXPECT_FALSE(child<QLineEdit>(window, "next").isEnabled());
    click(window, "ok");
    EXPECT_EQ(window.result(), int(QDialog::Accepted));
    const PassphraseRequest request = window.takeRequest();
    EXPECT_EQ(request.action, Action::TurnOff);
    EXPECT_EQ(request.current, "in use now");
}

TEST_F(PassphraseWindows, UnlockWindowSaysWhenTheLastTryFailed) {
    UnlockWindow first(false), again(true);
    EXPECT_EQ(first.windowTitle(), "Unlock Quillock");
    EXPECT_EQ(child<QLabel>(again, "notice").text(), "The passphrase does not open the data folder.");
    child<QLineEdit>(first, "passphrase").setText("typed");
    EXPECT_EQ(first.takeTyped(), "typed");
    EXPECT_EQ(first.takeTyped(), "");
}

TEST_F(PassphraseWindows, OptionsOffersTheProtectButton) {
    QTemporaryDir dir;
    IniStore positions;
    positions.openStore(dir.filePath("POSITION.INI"));
    MemorySettings settings;
    ProgramValues values = loadMainStartUp(settings, {}, {});
    OptionsDialog dialog(settings, values, prompter, positions);
    EXPECT_EQ(dialog.findChild<QPushButton*>("protect"), nullptr);
    int asked = 0;
    dialog.addProtectButton([&asked] { ++asked; });
    QPushButton& protect = child<QPushButton>(dialog, "protect");
    EXPECT_EQ(protect.text(), "Protect the data folder with a passphrase...");
    protect.click();
    EXPECT_EQ(asked, 1);
}

} // namespace
