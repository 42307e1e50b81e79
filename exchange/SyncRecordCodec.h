#pragma once
#include "platform/records/Record.h"
#include <QByteArray>
#include <QByteArrayView>

namespace ql {

// One entry of a synchronization file, field by field in the layout's order:
// LONG, DATE and TIME as 4 bytes, BYTE as 1, text as a 4-byte length and
// UTF-8, binary as a 4-byte length and its bytes (little-endian throughout).
QByteArray encodeSyncRecord(const Record& record);

// Reads an entry written by encodeSyncRecord into `record` (same layout).
// False, with the record in an unspecified state, when any length runs past
// the bytes left, a text is not UTF-8 or longer than its field, a date or
// time is out of range, or bytes are left over.
bool decodeSyncRecord(QByteArrayView bytes, Record& record);

} // namespace ql
