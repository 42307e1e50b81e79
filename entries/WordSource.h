#pragma once
#include <QString>

namespace ql {

// The generator's dictionary: words read by record number from 1 to count().
class WordSource {
public:
    virtual ~WordSource() = default;
    // Number of words; 0 when the list is empty or cannot be read.
    virtual qint64 count() = 0;
    // Puts the word of record `number` (without trailing blanks) into `word`;
    // false, leaving `word` alone, when there is no such record.
    virtual bool read(qint64 number, QString& word) = 0;
};

} // namespace ql
