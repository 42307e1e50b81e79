#include "framework/BuiltinMessages.h"
#include "framework/MessageBlock.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

std::vector<int> ids(const std::vector<MessageEntry>& rows) {
    std::vector<int> out;
    for (const auto& row : rows) out.push_back(row.id);
    return out;
}

const MessageEntry* find(const std::vector<MessageEntry>& rows, int id) {
    for (const auto& row : rows)
        if (row.id == id) return &row;
    return nullptr;
}

} // namespace

TEST(BuiltinMessages, EveryRowIsPresentInTableOrderWithItsExactText) {
    const auto rows = parseMessageBlock(builtinMessageBlock());
    const std::vector<int> expectedIds{27, 26, 10, 24, 17, 18, 16, 14, 31, 30, 4, 6, 7,
                                       34, 33, 20, 38, 12, 8,  13, 32, 19, 36, 37, 23, 25,
                                       11, 9,  35, 21, 1,  40, 3,  28, 5,  15, 22, 2,  39};
    EXPECT_EQ(ids(rows), expectedIds);

    std::vector<int> levels;
    for (const auto& row : rows) levels.push_back(row.fatality);
    const std::vector<int> expectedLevels{5, 3, 3, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 1, 1, 5, 5, 5, 1, 5,
                                          1, 5, 1, 1, 3, 5, 5, 1, 1, 5, 5, 5, 1, 5, 5, 5, 5, 5, 2};
    EXPECT_EQ(levels, expectedLevels);

    ASSERT_NE(find(rows, 32), nullptr);
    EXPECT_EQ(find(rows, 32)->title, "Auto Increment Error");
    EXPECT_EQ(find(rows, 32)->message,
              "Attempts to automatically number this record have failed.  Error: %ErrorText. "
              "Try Again?");
    EXPECT_EQ(find(rows, 23)->message, "File (%File) could not be opened.  Error: %ErrorText.");
    EXPECT_EQ(find(rows, 19)->message, "%File File Load Error.  Error: %ErrorText.");
    EXPECT_EQ(find(rows, 7)->message,
              "This record was changed by another station. Those changes will now be displayed. "
              "Use the Ditto Button or Ctrl+' to recall your changes.");
    EXPECT_EQ(find(rows, 1)->message,
              "Error: (%ErrorText) attempting to access a record from the %File file.  "
              "Returning to previous window.");
    EXPECT_EQ(find(rows, 9)->title, "Confirm Delete");
    EXPECT_EQ(find(rows, 9)->message, "Are you sure you want to delete the highlighted record?");
    EXPECT_EQ(find(rows, 15)->message, "The value of %Field must be in the list : %Message.");
    EXPECT_EQ(find(rows, 39)->title, "File Usage Error");
    EXPECT_EQ(find(rows, 39)->message, "Attempt to use file (%File) before it was opened");
    EXPECT_EQ(find(rows, 20)->message, "This form cannot be used to insert a record");
}

TEST(MessageBlock, PackedLayoutIsLittleEndianWithLengthPrefixedTexts) {
    const QByteArray block = builtinMessageBlock();
    // Row count 39, then the first row: id 27, level 5, "Invalid Key".
    ASSERT_GE(block.size(), 17);
    EXPECT_EQ(uchar(block[0]), 39);
    EXPECT_EQ(uchar(block[1]), 0);
    EXPECT_EQ(uchar(block[2]), 27);
    EXPECT_EQ(uchar(block[3]), 0);
    EXPECT_EQ(uchar(block[4]), 5);
    EXPECT_EQ(uchar(block[5]), 11);
    EXPECT_EQ(block.mid(6, 11), QByteArray("Invalid Key"));
    EXPECT_EQ(uchar(block[17]), QByteArray("%File key file is invalid. Key must be rebuilt.").size());

    const QByteArray wide = packMessageBlock({{0x1234, "m", "t", 2}});
    EXPECT_EQ(wide, QByteArray("\x01\x00\x34\x12\x02\x01t\x01m", 9));

    EXPECT_EQ(packMessageBlock(parseMessageBlock(block)), block);
}

TEST(MessageBlock, DamagedOrOversizedInputStaysWithinBounds) {
    const QByteArray two = packMessageBlock({{1, "first", "A", 5}, {2, "second", "B", 1}});
    EXPECT_EQ(ids(parseMessageBlock(two)), (std::vector<int>{1, 2}));
    // Cut inside the second row: only the complete first row is read.
    EXPECT_EQ(ids(parseMessageBlock(two.left(two.size() - 3))), std::vector<int>{1});
    EXPECT_TRUE(parseMessageBlock(QByteArray()).empty());
    EXPECT_TRUE(parseMessageBlock(QByteArray("\x05", 1)).empty());
    // A count larger than the rows present.
    QByteArray inflated = two;
    inflated[0] = char(9);
    EXPECT_EQ(parseMessageBlock(inflated).size(), 2u);

    // Texts longer than one length byte are cut at 255 bytes, never inside a character.
    const QString longText = QString(254, QLatin1Char('x')) + QStringLiteral("é and more");
    const auto rows = parseMessageBlock(packMessageBlock({{3, longText, "é", 5}}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].message, QString(254, QLatin1Char('x')));
    EXPECT_EQ(rows[0].title, QStringLiteral("é"));
}
