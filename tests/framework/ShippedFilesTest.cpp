#include "framework/ShippedFiles.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ql;

TEST(ShippedFilesTest, FoundBesideTheProgramsThenInTheSharedFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath("bin");
    const QString shared = root.filePath("share/quillock");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(shared));
    auto touch = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };

    // Nothing anywhere: the place beside the programs, for the message.
    EXPECT_EQ(shippedFilePath(bin, "words.txt"), bin + "/words.txt");
    ASSERT_TRUE(touch(shared + "/words.txt"));
    EXPECT_EQ(shippedFilePath(bin, "words.txt"), shared + "/words.txt"); // installed
    ASSERT_TRUE(touch(bin + "/words.txt"));
    EXPECT_EQ(shippedFilePath(bin, "words.txt"), bin + "/words.txt"); // build folder first

    // A folder of that name is not the file.
    ASSERT_TRUE(QDir().mkpath(shared + "/KEYS.TXT"));
    EXPECT_EQ(shippedFilePath(bin, "KEYS.TXT"), bin + "/KEYS.TXT");
}
