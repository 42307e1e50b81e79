#pragma once
#include "platform/records/Record.h"
#include "store/FileManager.h"

namespace ql {

// Writes the generator defaults of `user` (size, type and joiner) into his
// stored Users record, leaving the record's other fields as stored. Nothing
// is written for a user who is not stored. 0 on success.
int storeGeneratorDefaults(FileManager& users, const Record& user);

// Writes U_:LASTNAMEUSED of `user` into his stored Users record, the same way.
int storeLastNameUsed(FileManager& users, const Record& user);

} // namespace ql
