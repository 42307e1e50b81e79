#pragma once
#include <QString>

namespace ql {

// The last error the runtime (record store and its file driver) reported.
struct RuntimeError {
    int code = 0;           // 0: no error; 90: the file driver's own error
    QString text;           // the runtime's error text
    QString fileErrorCode;  // the driver's own code, as text
    QString fileErrorText;  // the driver's own message
};

// The code that says "see the driver's own code and text".
constexpr int kFileDriverError = 90;

} // namespace ql
