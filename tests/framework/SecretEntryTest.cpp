// Password and passphrase fields keep nothing typed in their undo history.
#include "TestApp.h"
#include "framework/SecretEntry.h"
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace ql;

TEST(SecretEntry, TypedTextIsHiddenAndNeverComesBackByUndo) {
    testApp();
    QLineEdit entry;
    makeSecretEntry(entry);
    EXPECT_EQ(entry.echoMode(), QLineEdit::Password);
    entry.show();
    QTest::keyClicks(&entry, "s3cret");
    QTest::keyClick(&entry, Qt::Key_Left);
    QTest::keyClicks(&entry, "X");
    EXPECT_EQ(entry.text(), "s3creXt");
    EXPECT_EQ(entry.cursorPosition(), 6) << "typing goes on where the cursor is";
    EXPECT_FALSE(entry.isUndoAvailable()) << "no edit is kept";

    // Cleared, the secret does not come back.
    entry.selectAll();
    QTest::keyClick(&entry, Qt::Key_Delete);
    EXPECT_TRUE(entry.text().isEmpty());
    EXPECT_FALSE(entry.isUndoAvailable());
    entry.undo();
    QTest::keyClick(&entry, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(entry.text().isEmpty());
}
