#pragma once
#include <QString>
#include <sys/types.h>
#include <vector>

namespace ql {

class SecretBytes;

// The engine parses every text in a file's schema as soon as anything is read
// from it, and a crafted text can crash it there, before the schema check can
// refuse the file. So the first time in a run that a table file is opened, its
// schema is read and checked by a checker program of ours in a process of its
// own (SchemaCheckerMain.cpp): a checker that crashes, hangs or finds a foreign
// object makes the file "Not a valid data file", and nothing of it runs here.
// Verdicts are kept for the rest of the run by the file's device, inode, size,
// modification and change times; the programs keep those of sound files for
// later runs too (keepVerdictsIn), so that an ordinary start, on the files
// the last run left, runs no checker at all.

// A code of open() (SQLITE_CANTOPEN with a code of our own in the extended
// bits) when no checker can be run: no file is opened without its check.
inline constexpr int kCheckerMissing = 14 | (32 << 8);

// The checker's file name, beside the programs and in libexec/quillock.
inline constexpr char kSchemaCheckerName[] = "ql-schema-check";

struct SchemaCheckRequest {
    QString path;
    const SecretBytes* rawKey = nullptr; // "x'<64 hex>'", or empty for a plain file
    int waitMs = 0;                      // how long the checker waits for a lock
};

// Checks one file. A missing or empty file has no schema and passes. Returns
// SQLITE_OK, kForeignSchema, kCheckerMissing (message says why), or the
// engine's code for a file the checker could not read (a lock held past the
// wait, a wrong key); only the first two are remembered.
int guardFileSchema(const SchemaCheckRequest& request, QString& message);

// Checks several files in one checker run (a program's start opens a few):
// the verdicts are remembered for guardFileSchema().
void guardFileSchemas(const std::vector<SchemaCheckRequest>& requests);

// The file at `path` was just closed by a connection of this process that had
// passed the check; while it still is the same file (device and inode), its
// present size and time are as sound as before, and need no second check.
void vouchForFile(const QString& path, dev_t device, ino_t inode);

// Where the checker is: beside the running program (a build folder, or a copy
// of the programs in a folder of their own), in libexec/quillock of the
// installation the program runs from, else in the build folder the program
// runs from. Empty when it is in none of them.
QString schemaCheckerPath();

// Keeps the verdicts of sound files across runs in `file` (see
// LastingVerdicts.h) and takes those of earlier runs from it; empty keeps
// verdicts for the run alone (the default).
void keepVerdictsIn(const QString& file);

// The programs' file for keepVerdictsIn(): in the user's cache folder; empty
// when there is none.
QString userVerdictFile();

// Replaces the checker found by schemaCheckerPath() (tests: a checker that
// crashes, hangs, or none) and forgets every verdict; an empty path restores
// the lookup. timeoutMs bounds a checker run beyond the files' lock waits.
// Verdicts kept across runs stay.
void useSchemaChecker(const QString& path, int timeoutMs = 5000);

} // namespace ql
