#include "exchange/TextEncoding.h"
#include <cstring>

namespace ql {

namespace {

// 0x80-0x9F of Windows-1252; the five unassigned bytes keep their own value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool startSequence(uint8_t b, int& need, uint8_t& low, uint8_t& high) {
    low = 0x80;
    high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) need = 1;
    else if (b == 0xE0) { need = 2; low = 0xA0; }
    else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) need = 2;
    else if (b == 0xED) { need = 2; high = 0x9F; }   // no surrogates
    else if (b == 0xF0) { need = 3; low = 0x90; }
    else if (b >= 0xF1 && b <= 0xF3) need = 3;
    else if (b == 0xF4) { need = 3; high = 0x8F; }   // up to U+10FFFF
    else return false;
    return true;
}

} // namespace

void Utf8Check::feed(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const uint8_t*>(data);
    qsizetype i = 0;
    while (valid_ && i < size) {
        if (need_ == 0) {
            // Plain ASCII goes eight bytes at a time.
            while (i + 8 <= size) {
                uint64_t word;
                std::memcpy(&word, p + i, 8);
                if (word & 0x8080808080808080ULL) break;
                i += 8;
            }
            if (i == size) break;
            const uint8_t b = p[i++];
            if (b >= 0x80) valid_ = startSequence(b, need_, low_, high_);
            continue;
        }
        const uint8_t b = p[i++];
        if (b < low_ || b > high_) {
            valid_ = false;
            break;
        }
        --need_;
        low_ = 0x80;
        high_ = 0xBF;
    }
}

QString decodeWindows1252(const char* data, qsizetype size) {
    QString text(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<uint8_t>(data[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b);
    }
    return text;
}

} // namespace ql
