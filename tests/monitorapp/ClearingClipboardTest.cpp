#include "monitorapp/ClearingClipboard.h"
#include "platform/core/SystemClock.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

class ClearingClipboardTest : public ::testing::Test {
protected:
    FakeClipboard desktop;
    FakeClock clock;
    ClearingClipboard clipboard{desktop, clock};
};

TEST_F(ClearingClipboardTest, ACopyIsTakenOffAfterTheClearTimeAcrossMidnight) {
    clipboard.setClearSeconds(30);
    clock.set(kHundredthsPerDay - 1000); // ten seconds before midnight
    clipboard.setText("s3cret");
    EXPECT_EQ(desktop.contents, "s3cret");
    clock.advance(2900);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "s3cret") << "29 seconds on";
    clock.advance(100);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "");
    EXPECT_FALSE(clipboard.holdsCopy());
    // A new copy counts from its own time.
    clipboard.setText("first");
    clock.advance(2000);
    clipboard.setText("second");
    clock.advance(2000);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "second");
    clock.advance(1000);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "");
}

TEST_F(ClearingClipboardTest, WhatAnotherProgramCopiedIsLeftAlone) {
    clipboard.setClearSeconds(5);
    clipboard.setText("s3cret");
    desktop.setText("copied elsewhere");
    clock.advance(600);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "copied elsewhere");
    clipboard.clearOwnCopy();
    EXPECT_EQ(desktop.contents, "copied elsewhere");
}

TEST_F(ClearingClipboardTest, TheEndOfTheRunTakesTheCopyOffEvenWithoutAClearTime) {
    clipboard.setText("s3cret");
    clock.advance(100'000);
    clipboard.tick();
    EXPECT_EQ(desktop.contents, "s3cret") << "0 seconds: kept while the program runs";
    clipboard.clearOwnCopy();
    EXPECT_EQ(desktop.contents, "");
    // Our own change reported late by the desktop still counts as our copy.
    clipboard.setText("again");
    ++desktop.changes;
    clipboard.clearOwnCopy();
    EXPECT_EQ(desktop.contents, "");
}

TEST_F(ClearingClipboardTest, TheDesktopsClearingServiceTakesTheCopyOffWhereItIsOffered) {
    struct CountingClearing : ClipboardClearing {
        FakeClipboard& board;
        bool offered = true;
        int clears = 0;
        explicit CountingClearing(FakeClipboard& b) : board(b) {}
        bool available() const override { return offered; }
        bool clear() override { ++clears; board.contents.clear(); return true; }
    } clearing{desktop};
    clipboard.setClearing(&clearing);
    clipboard.setClearSeconds(5);
    clipboard.setText("s3cret");
    clock.advance(500);
    clipboard.tick();
    EXPECT_EQ(clearing.clears, 1);
    EXPECT_EQ(desktop.contents, "");
    // Where the desktop offers no such service, the toolkit's clipboard is emptied.
    clearing.offered = false;
    clipboard.setText("again");
    clipboard.clearOwnCopy();
    EXPECT_EQ(clearing.clears, 1);
    EXPECT_EQ(desktop.contents, "");
}

} // namespace
