#pragma once
#include <QString>
#include <cstdint>

namespace ql {

// Checks that bytes fed in pieces form valid UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF); a sequence may span two pieces.
class Utf8Check {
public:
    void feed(const char* data, qsizetype size);
    // True when everything fed so far is valid and no sequence is left open.
    bool valid() const { return valid_ && need_ == 0; }

private:
    bool valid_ = true;
    int need_ = 0;            // continuation bytes still expected
    uint8_t low_ = 0x80, high_ = 0xBF; // range of the next continuation byte
};

// Text in the Windows-1252 code page (Western European files written by
// older programs): Latin-1 with typographic characters in 0x80-0x9F.
QString decodeWindows1252(const char* data, qsizetype size);

} // namespace ql
