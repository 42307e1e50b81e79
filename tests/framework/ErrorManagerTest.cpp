#include "framework/ErrorManager.h"
#include "framework/MessageBlock.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

// Thrown by the test halt, so a fatal message visibly never returns to its caller.
struct Halted {
    QString text;
};

struct ErrorManagerTest : ::testing::Test {
    ScriptedPrompter prompter;
    std::vector<QString> halts;
    ErrorManager errors{prompter, [this](const QString& text) {
                            halts.push_back(text);
                            throw Halted{text};
                        }};

    void add(uint16_t id, uint8_t level, const QString& title, const QString& message) {
        errors.addMessages(packMessageBlock({{id, message, title, level}}));
    }
    const Prompt& lastPrompt() const { return prompter.asked.back(); }
};

} // namespace

TEST_F(ErrorManagerTest, LaterRowOverridesEarlierAndPreviousBringsItsTextBack) {
    add(9, 5, "Delete Entry", "Delete it?  %Previous");
    EXPECT_EQ(errors.dispatchBySeverity(9), Severity::Notify);
    EXPECT_EQ(lastPrompt().title, "Delete Entry");
    EXPECT_EQ(lastPrompt().text,
              "Delete it?  Are you sure you want to delete the highlighted record?");

    // A third row overrides the second; its %Previous is the second row's raw text.
    add(9, 5, "Third", "[%Previous]");
    EXPECT_EQ(errors.messageFor(9), "[Delete it?  %Previous]");

    // No earlier row with the id: %Previous is empty.
    add(500, 5, "Alone", "a%Previousb");
    EXPECT_EQ(errors.messageFor(500), "ab");

    // An unknown id shows the first row of the table.
    errors.setFileName("USERS");
    EXPECT_EQ(errors.dispatchBySeverity(12345), Severity::Notify);
    EXPECT_EQ(lastPrompt().title, "Invalid Key");
    EXPECT_EQ(lastPrompt().text, "USERS key file is invalid. Key must be rebuilt.");
}

TEST_F(ErrorManagerTest, ConfirmLevelsAnswerGoOnOnlyForYes) {
    prompter.answers = {PromptButton::Yes, PromptButton::No, PromptButton::None};
    EXPECT_EQ(errors.dispatchBySeverity(9), Severity::Silent);
    EXPECT_EQ(errors.dispatchBySeverity(9), Severity::Cancel);
    EXPECT_EQ(errors.dispatchBySeverity(9), Severity::Cancel); // box closed
    const Prompt& asked = lastPrompt();
    EXPECT_EQ(asked.title, "Confirm Delete");
    EXPECT_EQ(asked.buttons, int(PromptButton::Yes) | int(PromptButton::No));
    EXPECT_EQ(asked.defaultButton, PromptButton::Yes);
    EXPECT_EQ(asked.icon, PromptIcon::Exclamation);

    add(600, Severity::Cancel, "Cancel level", "Go on?");
    prompter.answers = {PromptButton::Yes, PromptButton::No};
    EXPECT_EQ(errors.dispatchBySeverity(600), Severity::Silent);
    EXPECT_EQ(errors.dispatchBySeverity(600), Severity::Cancel);
}

TEST_F(ErrorManagerTest, NotifyAndSilentLevels) {
    EXPECT_EQ(errors.dispatchBySeverity(22), Severity::Notify);
    EXPECT_EQ(lastPrompt().text, "There are no records available to process.");
    EXPECT_EQ(lastPrompt().buttons, int(PromptButton::Ok));
    EXPECT_EQ(lastPrompt().icon, PromptIcon::Information);

    add(700, Severity::Silent, "Quiet", "never shown");
    const size_t shown = prompter.asked.size();
    EXPECT_EQ(errors.dispatchBySeverity(700), Severity::Silent);
    EXPECT_EQ(prompter.asked.size(), shown);
    EXPECT_TRUE(halts.empty());
}

TEST_F(ErrorManagerTest, FatalAndProgramErrorLevelsEndTheProgramWithTheTitle) {
    errors.setRuntimeError({2, "File Not Found", "", ""});
    EXPECT_THROW(errors.reportForFile(23, "Passwords"), Halted);
    EXPECT_EQ(lastPrompt().title, "File Access Error");
    EXPECT_EQ(lastPrompt().text,
              "File (Passwords) could not be opened.  Error: File Not Found (2)."
              "  Press OK to end this application");
    EXPECT_EQ(lastPrompt().buttons, int(PromptButton::Ok));
    EXPECT_EQ(lastPrompt().icon, PromptIcon::Information);

    EXPECT_THROW(errors.reportForFile(39, "Words"), Halted); // level 2
    EXPECT_EQ(lastPrompt().text,
              "Attempt to use file (Words) before it was opened  Press OK to end this application");

    add(800, 9, "Odd Level", "Unknown levels are fatal");
    EXPECT_THROW(errors.dispatchBySeverity(800), Halted);
    EXPECT_EQ(halts, (std::vector<QString>{"File Access Error", "File Usage Error", "Odd Level"}));
}

TEST_F(ErrorManagerTest, ErrorTextUsesTheDriverErrorOnlyForCode90) {
    errors.setRuntimeError({90, "Driver error", "-22", "Bad page checksum"});
    errors.captureRuntimeError();
    EXPECT_EQ(errors.errorText(), "Bad page checksum (-22)");
    errors.setFileName("QL_DATA");
    EXPECT_EQ(errors.messageFor(10), "Error: (Bad page checksum (-22)) creating QL_DATA.");

    errors.setRuntimeError({5, "Access Denied   ", "-22", "Bad page checksum"});
    errors.captureRuntimeError();
    EXPECT_EQ(errors.savedError(), "Access Denied"); // trailing blanks removed
    EXPECT_EQ(errors.messageFor(10), "Error: (Access Denied (5)) creating QL_DATA.");
}

TEST_F(ErrorManagerTest, MacrosAreReplacedInOrderWithoutLongerOnesBeingCut) {
    add(900, 5, "All", "%ErrorText|%Error|%ErrorCode|%FileErrorCode|%FileError|%File|%Field|%Message");
    errors.setRuntimeError({47, "Invalid Record Declaration", "E7", "Header mismatch"});
    errors.setFieldName("P_:SERVICE   ");
    errors.reportWithText(900, "note");
    EXPECT_EQ(lastPrompt().text,
              "Invalid Record Declaration (47)|Invalid Record Declaration|47|E7|Header "
              "mismatch||P_:SERVICE|note");
    EXPECT_EQ(errors.fieldName(), "P_:SERVICE");
    EXPECT_EQ(errors.messageText(), "note");

    // Macros are case-sensitive and a lone '%' stays.
    add(901, 5, "Case", "100% %file %FILE");
    EXPECT_EQ(errors.messageFor(901), "100% %file %FILE");
}

TEST_F(ErrorManagerTest, ValuesContainingMacrosAndOverlongValuesAreSafe) {
    errors.setFileName("a%File%Fileb");
    EXPECT_EQ(errors.messageFor(39), "Attempt to use file (a%File%Fileb) before it was opened");
    errors.setFieldName("%Field");
    EXPECT_EQ(errors.messageFor(17), "The value of %Field must be lower than .");

    errors.setFileName(QString(300, QLatin1Char('f')));
    EXPECT_EQ(errors.fileName().size(), ErrorManager::kFieldLimit);
    add(950, 5, "Long", QString(20, QLatin1Char('x')).replace(QLatin1Char('x'), "%File"));
    EXPECT_EQ(errors.messageFor(950).size(), ErrorManager::kBufferLimit);
}

TEST_F(ErrorManagerTest, ReportReadsTheRuntimeErrorAtTheMomentOfTheReport) {
    RuntimeError current{33, "Record Not Available", "", ""};
    errors.setRuntimeErrorSource([&current] { return current; });
    current = {8, "Record Is Held", "", ""};
    errors.reportForFile(25, "Passwords  ");
    EXPECT_EQ(lastPrompt().text,
              "An error (Record Is Held (8)) was experienced when making changes to the "
              "Passwords file.");
    EXPECT_EQ(errors.savedErrorCode(), 8);

    prompter.answers = {PromptButton::Retry};
    EXPECT_EQ(errors.askWithButtons(32, int(PromptButton::Retry) | int(PromptButton::Cancel),
                                    PromptButton::Cancel),
              PromptButton::Retry);
    EXPECT_EQ(lastPrompt().buttons, int(PromptButton::Retry) | int(PromptButton::Cancel));
    EXPECT_EQ(lastPrompt().defaultButton, PromptButton::Cancel);
    EXPECT_EQ(lastPrompt().icon, PromptIcon::Exclamation);
    EXPECT_EQ(lastPrompt().text,
              "Attempts to automatically number this record have failed.  Error: Record Is "
              "Held (8). Try Again?");
}

TEST(ProcessHalt, ExitsWithFailureAndTheHaltText) {
    EXPECT_EXIT(haltProcess("Disk Error"), ::testing::ExitedWithCode(1), "Disk Error");
}
