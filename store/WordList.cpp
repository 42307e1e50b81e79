#include "store/WordList.h"
#include "framework/ShippedFiles.h"
#include <QFile>
#include <QSet>

namespace ql {

namespace {
constexpr qint64 kLargestListBytes = 16 * 1024 * 1024;
constexpr int kShortestWord = 3;
constexpr int kLongestWord = 20;

bool isListWord(QByteArrayView line) {
    if (line.size() < kShortestWord || line.size() > kLongestWord) return false;
    for (char c : line)
        if (c < 'a' || c > 'z') return false;
    return true;
}

int addWords(FileManager& words, DataTable& table, const std::vector<QString>& list) {
    const int wordField = table.def().fieldIndex(QLatin1String("W_:WORD"));
    if (table.stream() != store_error::NoError) return -1;
    for (const QString& word : list) {
        table.clearBuffer();
        table.record().setText(wordField, word);
        if (words.insert(table) != store_error::NoError) {
            table.cancelBatch();
            return -1;
        }
    }
    if (table.flush() != store_error::NoError) {
        words.captureError(table);
        return -1;
    }
    return int(list.size());
}
} // namespace

QString shippedWordListPath() {
    return shippedFilePath(kWordListFileName);
}

std::vector<QString> readWordList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestListBytes) return {};
    const QByteArray contents = file.read(kLargestListBytes);
    std::vector<QString> list;
    QSet<QString> seen;
    for (qsizetype start = 0; start < contents.size();) {
        qsizetype end = contents.indexOf('\n', start);
        if (end < 0) end = contents.size();
        QByteArrayView line(contents.constData() + start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) line.chop(1);
        if (!isListWord(line)) continue;
        const QString word = QString::fromLatin1(line);
        if (seen.contains(word)) continue;
        seen.insert(word);
        list.push_back(word);
    }
    return list;
}

int fillMissingWords(FileManager& words, const QString& listPath) {
    DataTable table(words.def());
    const bool created = words.createWhenMissing();
    words.setCreateWhenMissing(true);
    const int code = words.open(table);
    words.setCreateWhenMissing(created);
    if (code != store_error::NoError) return -1;
    const qint64 present = table.records();
    if (present != 0) return present > 0 ? 0 : -1;
    const std::vector<QString> list = readWordList(listPath);
    return list.empty() ? 0 : addWords(words, table, list);
}

} // namespace ql
