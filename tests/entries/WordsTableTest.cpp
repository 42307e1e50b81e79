#include "entries/StoreWordSource.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "store/WordList.h"
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace ql;

namespace {

// The main program's start-up on a fresh data folder, with the shipped list.
class WordsTable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_,
            [](const QString&) {});
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }

    QString writeList(const QByteArray& contents) {
        QFile file(dir_.filePath("list.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return file.fileName();
    }

    // Every byte of the table's files: the database and any journal beside it.
    QByteArray rawBytes() const {
        QByteArray bytes;
        for (const QString& name : QDir(dir_.path()).entryList({"qlock_w*"}, QDir::Files)) {
            QFile file(dir_.filePath(name));
            if (file.open(QIODevice::ReadOnly)) bytes += file.readAll();
        }
        return bytes;
    }

    FileManager& words() { return services_->managers().words; }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
};

} // namespace

TEST_F(WordsTable, TheShippedListHasSeveralWordsOfEveryLength) {
    const std::vector<QString> list = readWordList(QStringLiteral(QL_WORD_LIST));
    std::map<int, int> lengths;
    for (const QString& word : list) ++lengths[int(word.size())];
    for (int length = 3; length <= 15; ++length) EXPECT_GE(lengths[length], 5) << length;
    EXPECT_GE(lengths.begin()->first, 3);
    EXPECT_LE(lengths.rbegin()->first, 20);
}

TEST_F(WordsTable, AFreshFolderGetsTheWholeListEncryptedAndNumberedWithoutGaps) {
    const std::vector<QString> list = readWordList(QStringLiteral(QL_WORD_LIST));
    ASSERT_GT(list.size(), 10000u);
    EXPECT_EQ(fillMissingWords(words(), QStringLiteral(QL_WORD_LIST)), int(list.size()));
    EXPECT_TRUE(prompter_.asked.empty());

    StoreWordSource source;
    ASSERT_EQ(source.count(), qint64(list.size()));
    QString word;
    ASSERT_TRUE(source.read(1, word));
    EXPECT_EQ(word, list.front());
    ASSERT_TRUE(source.read(source.count(), word));
    EXPECT_EQ(word, list.back());
    EXPECT_FALSE(source.read(source.count() + 1, word));

    // No run of six or more letters in the files is a word of the list.
    const QByteArray raw = rawBytes();
    ASSERT_GT(raw.size(), 100000);
    EXPECT_FALSE(raw.contains("SQLite format 3"));
    QSet<QByteArray> known;
    for (const QString& w : list)
        if (w.size() >= 6) known.insert(w.toLatin1());
    int found = 0;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype end = i;
        while (end < raw.size() && raw[end] >= 'a' && raw[end] <= 'z') ++end;
        if (end - i >= 6 && known.contains(raw.mid(i, end - i))) ++found;
        i = end + 1;
    }
    EXPECT_EQ(found, 0);

    // Filled once: a later start leaves the table alone.
    EXPECT_EQ(fillMissingWords(words(), writeList("other\nwords\n")), 0);
    StoreWordSource reopened;
    EXPECT_EQ(reopened.count(), qint64(list.size()));
}

TEST_F(WordsTable, AnEmptyTableIsFilledAndOnlyPlainWordsAreTaken) {
    DataTable table(wordsTable());
    ASSERT_EQ(table.create(), 0);
    const QString list = writeList("Apple\nok\nzebra\r\nzebra\nca-t\nabcdefghijklmnopqrstu\n"
                                   "\xc3\xa9t\xc3\xa9s\n\nabcdefghijklmnopqrst\nxyz");
    EXPECT_EQ(fillMissingWords(words(), list), 3);
    StoreWordSource source;
    QStringList stored;
    for (qint64 n = 1; n <= source.count(); ++n) {
        QString word;
        ASSERT_TRUE(source.read(n, word));
        stored << word;
    }
    EXPECT_EQ(stored, (QStringList{"zebra", "abcdefghijklmnopqrst", "xyz"}));
}

TEST_F(WordsTable, NoListLeavesAnEmptyTable) {
    EXPECT_EQ(fillMissingWords(words(), dir_.filePath("missing.txt")), 0);
    StoreWordSource source;
    EXPECT_EQ(source.count(), 0);
    EXPECT_TRUE(readWordList(dir_.filePath("missing.txt")).empty());
}
