#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Date and time pictures by their number ("@d17" is date picture 17, "@t3"
// time picture 3), for callers that parse a picture once and use it often.
namespace ql {

// The number after a picture's letter: "@d17b" gives 17, "t3" 3; 0 when none.
int pictureNumber(QStringView picture);
QString formatDateNumber(int32_t day, int code);
QString formatTimeNumber(int32_t time, int code);
std::optional<int32_t> readDate(QStringView text, int code);
std::optional<int32_t> readTime(QStringView text, int code);

} // namespace ql
