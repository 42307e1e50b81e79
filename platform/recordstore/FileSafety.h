#pragma once
#include <QString>

namespace ql {

// Guards for the files of a table. A symbolic link planted in the data folder
// must never make the store create or write a file somewhere else.

// True when `path` itself is a symbolic link (dangling or not).
bool isSymbolicLink(const QString& path);

// True when the data file or one of the companion files the engine makes
// beside it (-wal, -shm, -journal) is a symbolic link.
bool tableFileIsLinked(const QString& path);

// Creates an empty data file for the user alone without following a link;
// true when the file now exists as a file of its own making (or was there
// already as a plain file).
bool createDataFileNoFollow(const QString& path);

} // namespace ql
