#pragma once

struct sqlite3;

namespace ql {

// Registers QLNOCASE on a connection: text compared ignoring case and
// trailing blanks, with Unicode case folding (ASCII-only texts take a fast
// byte path that orders them exactly as the folding does).
int registerTextCollation(sqlite3* db);

// The same ordering for two UTF-8 texts; <0, 0, >0.
int compareFolded(const char* a, int lenA, const char* b, int lenB);

} // namespace ql
