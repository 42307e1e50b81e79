#include "platform/secure/SecretLine.h"
#include "platform/core/Utf8Text.h"
#include "platform/secure/SecretBytes.h"
#include <cstdio>
#include <mutex>

namespace ql {

namespace {
constexpr size_t kMostBytes = 4096; // longer lines are cut: no secret is that long
} // namespace

QString readSecretLine() {
    static std::once_flag unbuffered;
    std::call_once(unbuffered, [] { std::setvbuf(stdin, nullptr, _IONBF, 0); });
    SecretBytes line(kMostBytes);
    size_t size = 0;
    for (int c; (c = std::getchar()) != EOF && c != '\n';)
        if (size < line.size()) line.data()[size++] = char(c);
    if (size > 0 && line.data()[size - 1] == '\r') --size;
    return utf8Text(line.constData(), qsizetype(size)); // a leading U+FEFF too
}

} // namespace ql
