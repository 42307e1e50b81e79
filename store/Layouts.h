#pragma once
#include "platform/records/TableDef.h"
#include <vector>

namespace ql {

// The tables both programs keep, built once per process and never changed.
const TableDef& passwordsTable();     // P_,  "QL_DATA\!Pwd"
const TableDef& usersTable();         // U_,  "QL_DATA\!Users"
const TableDef& configurationTable(); // CF,  "QL_DATA\!Settings"
const TableDef& syncFileTable();      // SF_, stored as "quillock.syn" unless renamed
const TableDef& wordsTable();         // W_,  "qlock_w.tps"
const TableDef& scriptPasteTable();   // SP_, "QLOCK_S", not encrypted
const TableDef& tipOfTheDayTable();   // TIP, "QLOCK_T", not encrypted
// The version 2.1 tables, read once by the upgrade (OldOwnerKey, no registration).
const TableDef& oldUsersTable();      // U_002, "QLDATA\!US"
const TableDef& oldPasswordsTable();  // P_002, "QLDATA\!PW"

// The seven current tables, in the order above.
std::vector<const TableDef*> currentTables();
// The tables kept in the data folder's own files: the current ones and the
// version 2.1 ones. The sync file is not among them: it lives wherever the
// user puts it.
std::vector<const TableDef*> folderTables();

} // namespace ql
