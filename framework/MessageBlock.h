#pragma once
#include "framework/MessageEntry.h"
#include <QByteArray>
#include <vector>

namespace ql {

// The packed form of a message table: a 16-bit little-endian row count, then
// per row a 16-bit little-endian id, an 8-bit level, an 8-bit title length, the
// title bytes, an 8-bit message length and the message bytes (UTF-8, not
// terminated).
QByteArray packMessageBlock(const std::vector<MessageEntry>& rows);

// Reads the rows of a packed block in block order. A block cut short yields the
// complete rows before the cut and nothing past the end of the data.
std::vector<MessageEntry> parseMessageBlock(const QByteArray& block);

} // namespace ql
