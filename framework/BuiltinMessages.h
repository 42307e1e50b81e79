#pragma once
#include <QByteArray>

namespace ql {

// The standard message table every error manager starts with, as one packed
// block (see MessageBlock.h).
const QByteArray& builtinMessageBlock();

} // namespace ql
