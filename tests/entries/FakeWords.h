#pragma once
#include "entries/WordSource.h"
#include <set>
#include <vector>

namespace ql::test {

// A word list in memory: record n holds words[n - 1]; numbers in `gaps` have no record.
class FakeWords : public WordSource {
public:
    std::vector<QString> words;
    std::set<qint64> gaps;
    std::vector<qint64> reads;

    FakeWords() = default;
    explicit FakeWords(std::vector<QString> list) : words(std::move(list)) {}

    qint64 count() override { return qint64(words.size()); }
    bool read(qint64 number, QString& word) override {
        reads.push_back(number);
        if (number < 1 || number > count() || gaps.count(number)) return false;
        word = words[size_t(number - 1)];
        return true;
    }
};

} // namespace ql::test
