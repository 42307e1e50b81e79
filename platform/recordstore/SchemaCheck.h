#pragma once
#include <QString>

struct sqlite3;

namespace ql {

// The version table as the engine keeps its text in the schema.
inline constexpr char kMetaTableSql[] =
    "CREATE TABLE ql_meta (tbl TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)";

// Reads the whole schema of a freshly keyed file and accepts it only when every
// object in it is one the store creates itself: the version table and its key,
// record tables in the exact form SqlSchema writes them, and their keys. Any
// other object (triggers, views, virtual tables, statistics tables, odd names)
// would run inside the program, so such a file is not a data file.
// Reading the schema makes the engine parse every text in it, so a file is
// first checked in a process of its own (see SchemaGuard.h) and only then here.
// Returns SQLITE_OK, kForeignSchema (see StoreConnection.h), or the read error.
int checkFileSchema(sqlite3* db);

// The text checks on their own: a record table, and an index of one.
bool isStoreTableSql(const QString& name, const QString& sql);
bool isStoreIndexSql(const QString& name, const QString& table, const QString& sql);

} // namespace ql
