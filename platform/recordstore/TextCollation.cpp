#include "platform/recordstore/TextCollation.h"
#include <QString>
#include <sqlite3.h>

namespace ql {

namespace {
inline unsigned char lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Trailing blanks never make texts differ: stored texts keep them, while
// texts stored by earlier versions and looked-up values may lack them.
int withoutTrailingBlanks(const char* text, int len) {
    while (len > 0 && text[len - 1] == ' ')
        --len;
    return len;
}

int collate(void*, int lenA, const void* a, int lenB, const void* b) {
    return compareFolded(static_cast<const char*>(a), lenA, static_cast<const char*>(b), lenB);
}
} // namespace

int compareFolded(const char* a, int lenA, const char* b, int lenB) {
    lenA = withoutTrailingBlanks(a, lenA);
    lenB = withoutTrailingBlanks(b, lenB);
    const int n = lenA < lenB ? lenA : lenB;
    int i = 0;
    for (; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) & 0x80)
            break; // non-ASCII ahead: fold the rest as Unicode
        const int d = lowerAscii(ca) - lowerAscii(cb);
        if (d != 0)
            return d;
    }
    if (i == n) {
        // One text is a prefix of the other, unless the longer goes on in
        // non-ASCII, which still sorts after: a prefix always sorts first.
        return lenA - lenB;
    }
    const QString restA = QString::fromUtf8(a + i, lenA - i);
    const QString restB = QString::fromUtf8(b + i, lenB - i);
    return restA.compare(restB, Qt::CaseInsensitive);
}

int registerTextCollation(sqlite3* db) {
    return sqlite3_create_collation_v2(db, "QLNOCASE", SQLITE_UTF8, nullptr, collate, nullptr);
}

} // namespace ql
