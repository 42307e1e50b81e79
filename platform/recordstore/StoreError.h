#pragma once

namespace ql::store_error {

// Error codes every record-store operation leaves in DataTable::errorCode().
constexpr int NoError = 0;
constexpr int NotFound = 2;         // table (or its file) does not exist
constexpr int AccessDenied = 5;     // e.g. writing to a table opened read-only
constexpr int Locked = 32;          // another process held the lock past the wait
constexpr int EndOfFile = 33;       // next/previous ran past the last record
constexpr int RecordNotFound = 35;  // fetch found no record; no current record
constexpr int InvalidFile = 36;     // not a data file, or the owner key is wrong
constexpr int NotOpen = 37;
constexpr int DuplicateKey = 40;    // see DataTable::duplicateKeyDescription()
constexpr int KeysInvalid = 46;     // keys must be rebuilt (DataTable::buildKeys)
constexpr int BadDeclaration = 47;  // stored layout differs from the declared one
constexpr int AlreadyOpen = 52;     // open on an open table: it stays open
constexpr int DriverError = 90;     // see driverErrorCode()/driverErrorText()

} // namespace ql::store_error
