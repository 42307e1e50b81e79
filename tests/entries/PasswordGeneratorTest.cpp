#include "FakeWords.h"
#include "entries/PasswordGenerator.h"
#include "entries/PasswordTypes.h"
#include <gtest/gtest.h>

using namespace ql;
using ql::test::FakeWords;
namespace pt = password_type;
namespace ct = concatenation_type;

namespace {

class Generator : public ::testing::Test {
protected:
    GeneratedPassword generate(const QString& type, int size, const QString& joiner = {}) {
        PasswordGenerator generator(random, words);
        return generator.generate(type, size, joiner);
    }

    ScriptedRandom random;
    FakeWords words{{"cat", "house", "elephant", "tree", "notebook", "sky", "garden"}};
};

} // namespace

TEST_F(Generator, CharacterTypesDrawEachPositionFromTheirOwnSet) {
    random.values = {0, 25, 61};
    GeneratedPassword alnum = generate(pt::Alphanumeric, 3);
    EXPECT_EQ(alnum.password, "az0");
    EXPECT_FALSE(alnum.message);
    EXPECT_EQ(random.bounds, (std::vector<uint32_t>{62, 62, 62}));

    random.bounds.clear();
    random.values = {25, 0};
    EXPECT_EQ(generate(pt::AlphabetOnly, 2).password, "za");
    EXPECT_EQ(random.bounds, (std::vector<uint32_t>{26, 26}));

    // The last eight positions of the largest set are its punctuation.
    random.bounds.clear();
    random.values = {62, 63, 64, 65, 66, 67, 68, 69};
    EXPECT_EQ(generate(pt::AllCharacters, 8).password, "!@#$%&*(");
    EXPECT_EQ(random.bounds, std::vector<uint32_t>(8, 70));

    // A type that is none of the five draws from the largest set.
    random.bounds.clear();
    EXPECT_EQ(generate(QStringLiteral("Something"), 4).password.size(), 4);
    EXPECT_EQ(random.bounds, std::vector<uint32_t>(4, 70));
}

TEST_F(Generator, CharacterSetsHoldExactlyTheirCharacters) {
    EXPECT_EQ(kLowerLetters.size(), 26);
    EXPECT_EQ(kAlphanumeric.size(), 62);
    EXPECT_EQ(kAllCharacters.size(), 70);
    for (QChar c : QStringLiteral(")+=_-")) EXPECT_FALSE(kAllCharacters.contains(c)) << c.toLatin1();
    EXPECT_TRUE(kAllCharacters.startsWith(kAlphanumeric));
    for (QChar c : kLowerLetters) EXPECT_TRUE(c.isLower());
}

TEST_F(Generator, SizesAreHonouredUpToTheFieldWidth) {
    EXPECT_EQ(generate(pt::Alphanumeric, 128).password.size(), 128);
    EXPECT_EQ(generate(pt::Alphanumeric, 500).password.size(), 128);
    EXPECT_EQ(generate(pt::Alphanumeric, 0).password, QString());
}

TEST_F(Generator, WordStopsAtTheFirstWordOfTheSize) {
    random.values = {0, 2, 1}; // records 1, 3, 2: cat, elephant, house
    GeneratedPassword result = generate(pt::Word, 5);
    EXPECT_EQ(result.password, "house");
    EXPECT_FALSE(result.message);
    EXPECT_EQ(words.reads, (std::vector<qint64>{1, 3, 2}));
    EXPECT_EQ(random.bounds, std::vector<uint32_t>(3, 7));
}

TEST_F(Generator, WordWithoutThatSizeWarnsAfterExactly250PicksAndKeepsTheLastWord) {
    for (int i = 0; i < 249; ++i) random.values.push_back(0);
    random.values.push_back(5); // the 250th pick: "sky"
    GeneratedPassword result = generate(pt::Word, 11);
    EXPECT_EQ(words.reads.size(), 250u);
    EXPECT_EQ(result.password, "sky");
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->title, "Warning");
    EXPECT_EQ(result.message->text,
              "There are no words that size in the database - a random word has been picked.");
}

TEST_F(Generator, AMissingRecordKeepsTheWordReadBefore) {
    words.gaps = {2};
    for (int i = 0; i < 250; ++i) random.values.push_back(i == 0 ? 0 : 1); // cat, then gaps
    GeneratedPassword result = generate(pt::Word, 5);
    EXPECT_EQ(result.password, "cat");
    EXPECT_TRUE(result.message);

    FakeWords empty;
    PasswordGenerator generator(random, empty);
    result = generator.generate(pt::Word, 5, {});
    EXPECT_EQ(result.password, QString());
    EXPECT_TRUE(result.message);
}

TEST_F(Generator, JoinedWordsTakeTheFirstFromTheEndAndTheSecondFromTheStart) {
    // First word: pick r reads record n + 1 - r; 7 + 1 - 7 = 1 ("cat", too short),
    // then 7 + 1 - 1 = 7 ("garden"). Second word: record 2 ("house").
    random.values = {6, 0, 1};
    GeneratedPassword result = generate(pt::ConcatenatedWords, 3, ct::Hyphen);
    EXPECT_EQ(result.password, "garden-house");
    EXPECT_FALSE(result.message);
    EXPECT_EQ(words.reads, (std::vector<qint64>{1, 7, 2}));

    random.values = {0, 3};
    EXPECT_EQ(generate(pt::ConcatenatedWords, 40, ct::PlusSign).password, "garden+tree");
}

TEST_F(Generator, NumberAndBlankJoinersAreADigitFromOneToNine) {
    for (const QString& joiner : {ct::Number, QString()}) {
        random.bounds.clear();
        random.values = {0, 8, 1}; // garden, digit 1 + 8 = 9, house
        EXPECT_EQ(generate(pt::ConcatenatedWords, 8, joiner).password, "garden9house");
        EXPECT_EQ(random.bounds[1], 9u);
        random.values = {0, 0, 1};
        EXPECT_EQ(generate(pt::ConcatenatedWords, 8, joiner).password, "garden1house");
    }
}

TEST_F(Generator, JoinedWordsGiveUpOnAListWithoutShortWords) {
    FakeWords longWords({"elephant", "notebook", "at"});
    PasswordGenerator generator(random, longWords);
    GeneratedPassword result = generator.generate(pt::ConcatenatedWords, 8, ct::Hyphen);
    EXPECT_EQ(result.password, QString());
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, "Don't delete things!");
    EXPECT_EQ(longWords.reads.size(), size_t(PasswordGenerator::kShortWordAttempts));

    FakeWords empty;
    PasswordGenerator onEmpty(random, empty);
    result = onEmpty.generate(pt::ConcatenatedWords, 8, ct::Hyphen);
    EXPECT_EQ(result.password, QString());
    EXPECT_EQ(result.message->text, "Don't delete things!");
    EXPECT_TRUE(empty.reads.empty());
}
