#pragma once
#include "platform/recordstore/FileIdentity.h"
#include <QString>
#include <vector>

namespace ql::lasting_verdicts {

// Table files found sound in earlier runs, kept in a private file of the
// user's own (never in the data folder, which may come from elsewhere or be
// written by others), so that a start whose files are all still the very
// files vouched for needs no checker run. A file altered since matches no
// entry: its change time moved on.

// The identities kept in `file`; none when it is missing or unreadable, and
// lines that are not an identity are passed over.
std::vector<FileIdentity> read(const QString& file);

// Adds `sound` to `file`, in place of earlier states of the same files, and
// keeps the newest entries only. A file that cannot be written is left as it
// was: the next start checks again.
void add(const QString& file, const std::vector<FileIdentity>& sound);

// How many files are kept: a few tables of a few data folders.
inline constexpr size_t kMaxEntries = 64;

} // namespace ql::lasting_verdicts
