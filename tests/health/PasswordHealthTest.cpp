#include "HealthFixture.h"
#include "health/PasswordHealth.h"
#include <algorithm>

using namespace ql;

namespace {

const QString kRandom = QStringLiteral("hV7#qP2!xZ9@mL4$wK8&tR3");

TEST(PasswordStrength, RanksKnownPasswordsFromWeakToStrong) {
    struct Known { QString password; int score; };
    const std::vector<Known> known{{"password", 0}, {"123456", 0}, {"qwerty", 0},
                                   {"correcthorsebatterystaple", 4}, {kRandom, 4}};
    for (const Known& k : known)
        EXPECT_EQ(estimateStrength(k.password).score, k.score) << k.password.toStdString();
    // Longer and less patterned means more guesses.
    EXPECT_LT(estimateStrength("password").guessesLog10, estimateStrength("Tr0ub4dor&3").guessesLog10);
    EXPECT_LT(estimateStrength("Tr0ub4dor&3").guessesLog10, estimateStrength(kRandom).guessesLog10);
    // Dictionary words and keyboard runs count for little against their length.
    EXPECT_LT(estimateStrength("qwertyuiop").guessesLog10, estimateStrength("xkqjvbzmwp").guessesLog10);
}

TEST(PasswordStrength, BlankPasswordHasNoGuessesAndScoresZero) {
    const PasswordStrength blank = estimateStrength(QString());
    EXPECT_EQ(blank.score, 0);
    EXPECT_EQ(blank.guessesLog10, 0);
}

TEST(PasswordStrength, ScoreThresholdsNeedMoreThanTheRoundNumberOfGuesses) {
    EXPECT_EQ(scoreFromGuessesLog10(0), 0);
    EXPECT_EQ(scoreFromGuessesLog10(3.0), 0); // 1000 guesses
    EXPECT_EQ(scoreFromGuessesLog10(3.01), 1);
    EXPECT_EQ(scoreFromGuessesLog10(6.0), 1);
    EXPECT_EQ(scoreFromGuessesLog10(6.5), 2);
    EXPECT_EQ(scoreFromGuessesLog10(8.5), 3);
    EXPECT_EQ(scoreFromGuessesLog10(10.0), 3);
    EXPECT_EQ(scoreFromGuessesLog10(10.01), 4);
    EXPECT_EQ(scoreFromGuessesLog10(40), 4);
    EXPECT_EQ(strengthText(0), "0 - Very weak");
    EXPECT_EQ(strengthText(4), "4 - Very strong");
}

class PasswordHealth : public ql::test::HealthFixture {
protected:
    std::vector<HealthRow> check(const QString& user = QStringLiteral("amy")) {
        DataTable table(passwordsTable());
        EXPECT_EQ(managers().passwords.open(table), 0);
        return checkUserPasswords(table, user, kToday);
    }
    static const HealthRow& row(const std::vector<HealthRow>& rows, const QString& service) {
        auto it = std::find_if(rows.begin(), rows.end(), [&](const HealthRow& r) { return r.service == service; });
        EXPECT_NE(it, rows.end()) << service.toStdString();
        return *it;
    }
};

TEST_F(PasswordHealth, FindsPasswordsSharedByTheUsersEntriesComparedExactly) {
    storeEntry("amy", "bank", kRandom);
    storeEntry("amy", "mail", kRandom);
    storeEntry("amy", "shop", kRandom);
    storeEntry("amy", "forum", "Secret-Phrase-42");
    storeEntry("amy", "wiki", "secret-phrase-42"); // differs in case only
    storeEntry("amy", "blank one", "");
    storeEntry("amy", "blank two", "");
    storeEntry("bob", "bank", "Secret-Phrase-42"); // another user's entry
    const std::vector<HealthRow> rows = check();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(row(rows, "bank").sameAsOthers, 2);
    EXPECT_EQ(row(rows, "shop").sameAsOthers, 2);
    EXPECT_FALSE(row(rows, "forum").reused());
    EXPECT_FALSE(row(rows, "wiki").reused());
    EXPECT_FALSE(row(rows, "blank one").reused());
    EXPECT_TRUE(row(rows, "blank two").blank);
}

TEST_F(PasswordHealth, ListsOnlyTheUsersOwnEntriesWhateverTheCaseOfTheName) {
    const qint64 amys = storeEntry("amy", "bank", "x1");
    storeEntry("bob", "mail", "x1");
    const std::vector<HealthRow> rows = check("AMY");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].recordNumber, amys);
    EXPECT_EQ(rows[0].name, "name of bank");
    EXPECT_FALSE(rows[0].reused());
    EXPECT_TRUE(check("carol").empty());
}

TEST_F(PasswordHealth, TellsExpiredExpiringAndLongUnchangedEntries) {
    auto expiring = [](int32_t day) { return [day](Record& r) { r.setNumber("P_:EXPIRYDATE", day); }; };
    auto changed = [](int32_t day) { return [day](Record& r) { r.setNumber("P_:LASTCHANGEDATE", day); }; };
    storeEntry("amy", "past", kRandom + "past", expiring(kToday - 3));
    storeEntry("amy", "today", kRandom + "today", expiring(kToday));
    storeEntry("amy", "in 30", kRandom + "in 30", expiring(kToday + 30));
    storeEntry("amy", "in 31", kRandom + "in 31", expiring(kToday + 31));
    storeEntry("amy", "none", kRandom + "none", expiring(0));
    storeEntry("amy", "366 ago", kRandom + "366 ago", changed(kToday - 366));
    storeEntry("amy", "365 ago", kRandom + "365 ago", changed(kToday - 365));
    storeEntry("amy", "no date", kRandom + "no date", changed(0));
    const std::vector<HealthRow> rows = check();
    EXPECT_EQ(row(rows, "past").expiry, ExpiryState::Expired);
    EXPECT_EQ(row(rows, "past").daysToExpiry, -3);
    EXPECT_EQ(row(rows, "today").expiry, ExpiryState::Expired);
    EXPECT_EQ(row(rows, "in 30").expiry, ExpiryState::Soon);
    EXPECT_EQ(row(rows, "in 31").expiry, ExpiryState::Later);
    EXPECT_EQ(row(rows, "none").expiry, ExpiryState::None);
    EXPECT_TRUE(row(rows, "366 ago").unchangedOverAYear);
    EXPECT_FALSE(row(rows, "365 ago").unchangedOverAYear);
    EXPECT_FALSE(row(rows, "no date").unchangedOverAYear);
    EXPECT_FALSE(row(rows, "in 31").needsAttention());
    EXPECT_TRUE(row(rows, "in 30").needsAttention());
}

TEST_F(PasswordHealth, RanksWorstFirst) {
    auto expired = [](Record& r) { r.setNumber("P_:EXPIRYDATE", kToday - 1); };
    auto old = [](Record& r) { r.setNumber("P_:LASTCHANGEDATE", kToday - 400); };
    storeEntry("amy", "a strong", kRandom + "a");
    storeEntry("amy", "b old", kRandom + "b", old);
    storeEntry("amy", "c expired", kRandom + "c", expired);
    storeEntry("amy", "d reused", "correcthorsebatterystaple");
    storeEntry("amy", "e reused", "correcthorsebatterystaple");
    storeEntry("amy", "f weak", "qwerty");
    storeEntry("amy", "g blank", "");
    storeEntry("amy", "h weakest", "password");
    std::vector<QString> order;
    for (const HealthRow& r : check()) order.push_back(r.service);
    // Blank, then score 0 by guesses, then reused, expired, long unchanged, the rest.
    const std::vector<QString> expected{"g blank", "h weakest", "f weak", "d reused", "e reused",
                                        "c expired", "b old", "a strong"};
    EXPECT_EQ(order, expected);
}

} // namespace
