#pragma once
#include <QString>

namespace ql {

// Builds the owner key of the encrypted tables from the constant compiled into
// both programs: every digit d becomes the first digit of d + 3 (5 -> 8, 8 -> 1).
// Both programs call this, so they open the same tables.
QString buildOwnerKey();

// The digit rule on its own, for any text of decimal digits.
QString addThreeToDigits(const QString& digits);

} // namespace ql
