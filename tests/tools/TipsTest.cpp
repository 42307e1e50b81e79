#include "store/Layouts.h"
#include "store/RecordManagers.h"
#include "tests/startup/DataFolderFixture.h"
#include "tests/support/QtPrinters.h"
#include "tools/BrowseTips.h"
#include "tools/TipStepper.h"

using namespace ql;
namespace se = ql::store_error;

namespace {

class Tips : public DataFolderTest {
protected:
    RecordManagers managers{errors, ProgramKind::Main};
    DataTable table{tipOfTheDayTable()};
    std::unique_ptr<BrowseTips> tips;
    std::unique_ptr<TipStepper> stepper;

    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_EQ(managers.tipOfTheDay->open(table), se::NoError);
        tips = std::make_unique<BrowseTips>(*managers.tipOfTheDay, errors, table);
        stepper = std::make_unique<TipStepper>(table);
    }
    void add(std::initializer_list<const char*> texts) {
        for (const char* text : texts) ASSERT_TRUE(tips->insert(QString::fromLatin1(text), prompter));
    }
    // What the window shows after each press: the tip, and which of Previous
    // and Next can be pressed ("<" and ">").
    QString shown() const {
        return stepper->text() + (stepper->previousAvailable() ? " <" : "") +
               (stepper->nextAvailable() ? " >" : "");
    }
    std::vector<QString> press(const QString& keys) {
        std::vector<QString> seen;
        for (QChar key : keys) {
            key == u'n' ? stepper->next() : stepper->previous();
            seen.push_back(shown());
        }
        return seen;
    }
};

} // namespace

TEST_F(Tips, WithoutTipsNothingIsShownAndNeitherWayCanBeTaken) {
    stepper->start();
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(press("np"), (std::vector<QString>{"", ""}));
}

TEST_F(Tips, OneTipIsShownAndStepsLeadNowhere) {
    add({"only"});
    stepper->start();
    EXPECT_EQ(shown(), "only >");
    EXPECT_EQ(press("np"), (std::vector<QString>{"only", "only"}));
}

TEST_F(Tips, ThreeTipsAreVisitedInOrderBothWaysWithoutSkipsOrRepeats) {
    add({"one", "two", "three"});
    stepper->start();
    EXPECT_EQ(shown(), "one >");
    EXPECT_EQ(press("nnn"), (std::vector<QString>{"two < >", "three < >", "three <"}));
    EXPECT_EQ(press("ppp"), (std::vector<QString>{"two < >", "one < >", "one >"}));
    // Every opening starts at the first tip again.
    press("nn");
    stepper->start();
    EXPECT_EQ(shown(), "one >");
}

TEST_F(Tips, ATipAddedAtTheEndIsReachedAndADeletedOneIsNeverShown) {
    add({"one", "two", "three"});
    stepper->start();
    press("nnn"); // past the last: Next is off
    add({"four"});
    stepper->refresh();
    EXPECT_EQ(shown(), "three < >");
    EXPECT_EQ(press("n"), (std::vector<QString>{"four < >"}));

    // The shown tip and the one before it go: the nearest one left is shown.
    tips->reload();
    prompter.answers = {PromptButton::Yes, PromptButton::Yes};
    ASSERT_TRUE(tips->remove(tips->rows()[3].id)); // four
    ASSERT_TRUE(tips->remove(tips->rows()[2].id)); // three
    EXPECT_EQ(prompter.asked[0].title, "Confirm Delete");
    stepper->refresh();
    EXPECT_EQ(shown(), "two < >");
    EXPECT_EQ(press("nnpp"), (std::vector<QString>{"two <", "two <", "one < >", "one >"}));

    // A tip deleted behind the stepper's back is skipped when stepping onto it.
    tips->reload();
    prompter.answers = {PromptButton::Yes};
    ASSERT_TRUE(tips->remove(tips->rows()[1].id)); // two
    EXPECT_EQ(press("n"), (std::vector<QString>{"one"}));

    // Tips added while none were there are shown from the first.
    tips->reload();
    prompter.answers = {PromptButton::Yes};
    ASSERT_TRUE(tips->remove(tips->rows()[0].id));
    stepper->refresh();
    EXPECT_EQ(shown(), "");
    add({"five", "six"});
    stepper->refresh();
    EXPECT_EQ(shown(), "five >");
}

TEST_F(Tips, TheTipFormRefusesEmptyAndOverlongTextAndNumbersNewTipsAfterTheLast) {
    EXPECT_FALSE(tips->insert("   ", prompter));
    EXPECT_FALSE(tips->insert(QString(1001, u'x'), prompter));
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[1].text, "A tip holds at most 1000 characters; this one has 1001.");
    ASSERT_TRUE(tips->insert(QString(1000, u'x'), prompter));
    add({"b"});
    tips->reload();
    ASSERT_EQ(tips->rows().size(), 2u);
    EXPECT_EQ(tips->rows()[0].shown, QString(255, u'x'));
    EXPECT_EQ(tips->rows()[1].id, tips->rows()[0].id + 1);
    ASSERT_TRUE(tips->change(tips->rows()[1].id, "changed", prompter));
    EXPECT_EQ(tips->text(tips->rows()[1].id), "changed");
    prompter.answers = {PromptButton::No};
    EXPECT_FALSE(tips->remove(tips->rows()[1].id));
    tips->reload();
    EXPECT_EQ(tips->rows().size(), 2u);
}

TEST_F(Tips, ANewDataFolderGetsTheShippedTipsAndAnEmptiedTableStaysEmpty) {
    table.removeFile();
    installShippedTips(*managers.tipOfTheDay);
    ASSERT_EQ(table.open(), se::NoError);
    EXPECT_GE(table.records(), 15);
    EXPECT_EQ(qsizetype(table.records()), qsizetype(shippedTips().size()));
    for (const QString& tip : shippedTips()) EXPECT_LE(tip.size(), BrowseTips::kTipLength);
    table.close();
    table.removeFile();
    ASSERT_EQ(table.create(), se::NoError);
    installShippedTips(*managers.tipOfTheDay);
    ASSERT_EQ(table.open(), se::NoError);
    EXPECT_EQ(table.records(), 0);
}
