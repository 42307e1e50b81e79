#pragma once
#include <cstdint>

namespace ql::schema_wire {

// What the program and the schema checker say to each other over the
// checker's standard input and output (one socket): never the command line
// or the environment, which other processes of the user can read.
//
// Request, in host byte order: a u32 count of files, then for each file a u32
// length and the bytes of its path, a u32 length and the bytes of its key
// ("x'<64 hex>'", or none), and a u32 lock wait in milliseconds. The program
// then shuts its side for writing.
// Answer: one line per file, in order, holding the decimal result code.

inline constexpr uint32_t kMaxFiles = 64;
inline constexpr uint32_t kMaxPathBytes = 4096;
inline constexpr uint32_t kMaxKeyBytes = 256;
inline constexpr uint32_t kMaxWaitMs = 600000;

} // namespace ql::schema_wire
