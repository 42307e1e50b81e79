#pragma once
#include "keys/SendText.h"

namespace ql {

class Record;

// The six values a send text's tokens stand for, read from a Passwords record.
SendFields sendFieldsOf(const Record& passwords);

} // namespace ql
