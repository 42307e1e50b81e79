#include "FakeWords.h"
#include "entries/GeneratePassword.h"
#include "entries/PasswordTypes.h"
#include "store/Layouts.h"
#include <gtest/gtest.h>

using namespace ql;
using ql::test::FakeWords;
namespace pt = password_type;
namespace ct = concatenation_type;

namespace {

// The window's logic for user "amy" working on one of her entries.
class GeneratorWindow : public ::testing::Test {
protected:
    GeneratorWindow() {
        user.setText("U_:NAME", u"amy");
        entry.setText("P_:USER", u"amy");
        entry.setText("P_:PASSWORD", u"old");
        entry.setText("P_:CONFIRMPASSWORD", u"old");
    }

    GeneratePassword open() {
        GeneratorServices services{random, words, settings, clipboard, prompter,
                                   [this](const Record& u) { savedUsers.push_back(u); }};
        return GeneratePassword(services, user, entry);
    }

    ScriptedRandom random;
    FakeWords words{{"cat", "house", "elephant", "tree", "garden"}};
    MemorySettings settings;
    FakeClipboard clipboard;
    ScriptedPrompter prompter;
    Record user{usersTable()};
    Record entry{passwordsTable()};
    std::vector<Record> savedUsers;
};

} // namespace

TEST_F(GeneratorWindow, DefaultsComeFromTheUserThenTheSettingsThenFallBacks) {
    random.values = {4}; // 6 + 4
    GeneratePassword fresh = open();
    EXPECT_EQ(fresh.size(), 10);
    EXPECT_EQ(random.bounds, std::vector<uint32_t>{7}); // 6 to 12
    EXPECT_EQ(fresh.type(), pt::Alphanumeric);
    EXPECT_EQ(fresh.concatenation(), QString());

    settings.values = {{"SaveSizeamy", "14"}, {"SaveTypeamy", "Word"}, {"SaveConcamy", "Hyphen"},
                       {"SaveSizebob", "20"}};
    GeneratePassword fromSettings = open();
    EXPECT_EQ(fromSettings.size(), 14);
    EXPECT_EQ(fromSettings.type(), pt::Word);
    EXPECT_EQ(fromSettings.concatenation(), ct::Hyphen);

    user.setNumber("U_:PASSWORDSIZE", 9);
    user.setText("U_:PASSWORDTYPE", u"All Characters");
    user.setText("U_:CONCATENATIONTYPE", u"Number");
    GeneratePassword fromUser = open();
    EXPECT_EQ(fromUser.size(), 9);
    EXPECT_EQ(fromUser.type(), pt::AllCharacters);
    EXPECT_EQ(fromUser.concatenation(), ct::Number);
    EXPECT_TRUE(fromUser.sizeEnabled());
    EXPECT_FALSE(fromUser.concatenationEnabled());
}

TEST_F(GeneratorWindow, TheUserSetupsConcatenatedWordOpensTheJoinerAndJoinsWords) {
    user.setText("U_:PASSWORDTYPE", u"Concatenated Word");
    user.setText("U_:CONCATENATIONTYPE", u"Hyphen");
    user.setNumber("U_:PASSWORDSIZE", 20);
    GeneratePassword window = open();
    EXPECT_EQ(window.type(), pt::ConcatenatedWords);
    EXPECT_FALSE(window.sizeEnabled());
    EXPECT_TRUE(window.concatenationEnabled());

    random.values = {0, 1}; // garden from the end, house from the start
    EXPECT_EQ(window.ok(), GeneratorFocus::None);
    EXPECT_EQ(entry.text("P_:PASSWORD"), "garden-house");
    EXPECT_EQ(settings.values["SaveTypeamy"], pt::ConcatenatedWords);
}

TEST_F(GeneratorWindow, OkWritesTheEntryTheClipboardAndBothCopiesOfTheDefaults) {
    GeneratePassword window = open();
    window.setType(pt::AlphabetOnly);
    window.setSize(4);
    window.setConcatenation(ct::PlusSign);
    random.values = {0, 1, 2, 3};
    EXPECT_EQ(window.ok(), GeneratorFocus::None);
    EXPECT_EQ(entry.text("P_:PASSWORD"), "abcd");
    EXPECT_EQ(entry.text("P_:CONFIRMPASSWORD"), "abcd");
    EXPECT_EQ(clipboard.contents, "abcd");
    EXPECT_EQ(settings.values["SaveSizeamy"], "4");
    EXPECT_EQ(settings.values["SaveTypeamy"], "Alphabet Only");
    EXPECT_EQ(settings.values["SaveConcamy"], "Plus Sign");
    ASSERT_EQ(savedUsers.size(), 1u);
    EXPECT_EQ(savedUsers[0].number("U_:PASSWORDSIZE"), 4);
    EXPECT_EQ(savedUsers[0].text("U_:PASSWORDTYPE"), "Alphabet Only");
    EXPECT_EQ(savedUsers[0].text("U_:CONCATENATIONTYPE"), "Plus Sign");
    EXPECT_EQ(user.text("U_:PASSWORDTYPE"), "Alphabet Only");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(GeneratorWindow, OkWithoutSizeOrTypeStaysOpenAndChangesNothing) {
    GeneratePassword window = open();
    window.setSize(0);
    EXPECT_EQ(window.ok(), GeneratorFocus::Size);
    window.setSize(8);
    window.setType(QString());
    EXPECT_EQ(window.ok(), GeneratorFocus::Type);
    EXPECT_EQ(entry.text("P_:PASSWORD"), "old");
    EXPECT_EQ(clipboard.changes, 0u);
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_TRUE(savedUsers.empty());
}

TEST_F(GeneratorWindow, FastGenerateMakesAShortAlphanumericPasswordAndKeepsTheDefaults) {
    user.setText("U_:PASSWORDTYPE", u"Word");
    user.setNumber("U_:PASSWORDSIZE", 5);
    GeneratePassword window = open();
    random.bounds.clear();
    random.values = {6}; // 6 + 6 = 12 characters
    window.fastGenerate();
    EXPECT_EQ(entry.text("P_:PASSWORD").size(), 12);
    EXPECT_EQ(random.bounds.front(), 7u);
    EXPECT_EQ(std::vector<uint32_t>(random.bounds.begin() + 1, random.bounds.end()),
              std::vector<uint32_t>(12, 62));
    EXPECT_EQ(clipboard.contents, entry.text("P_:PASSWORD"));
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_TRUE(savedUsers.empty());
    EXPECT_EQ(user.text("U_:PASSWORDTYPE"), "Word");
}

TEST_F(GeneratorWindow, AnEmptyListClearsThePasswordYetStoresTheDefaults) {
    words.words.clear();
    GeneratePassword window = open();
    window.setType(pt::ConcatenatedWords);
    EXPECT_EQ(window.ok(), GeneratorFocus::None);
    EXPECT_EQ(entry.text("P_:PASSWORD"), QString());
    EXPECT_EQ(entry.text("P_:CONFIRMPASSWORD"), QString());
    EXPECT_EQ(clipboard.contents, QString());
    EXPECT_EQ(clipboard.changes, 1u);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "Don't delete things!");
    EXPECT_EQ(settings.values["SaveTypeamy"], pt::ConcatenatedWords);
    EXPECT_EQ(savedUsers.size(), 1u);
}

TEST_F(GeneratorWindow, StoredValuesOutsideTheWindowsChoicesAreBroughtInto) {
    user.setNumber("U_:PASSWORDSIZE", 500);
    user.setText("U_:PASSWORDTYPE", u"Pictures");
    user.setText("U_:CONCATENATIONTYPE", u"Comma");
    settings.values = {{"SaveTypeamy", "alphabet only"}};
    GeneratePassword window = open();
    EXPECT_EQ(window.size(), 128);
    EXPECT_EQ(window.type(), pt::AlphabetOnly);
    EXPECT_EQ(window.concatenation(), QString());
}

TEST_F(GeneratorWindow, SettingKeysFollowTheEntrysUserCutToTheKeyWidth) {
    const QString longName(60, u'n');
    entry.setText("P_:USER", longName);
    GeneratePassword window = open();
    window.ok();
    const QString key = GeneratePassword::settingKey("SaveSize", longName);
    EXPECT_EQ(key.size(), 40);
    EXPECT_TRUE(settings.values.count(key));
    EXPECT_EQ(settings.writes.size(), 3u);
}
