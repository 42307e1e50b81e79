#pragma once
#include "platform/records/TableDef.h"
#include "platform/secure/SecretBytes.h"

namespace ql {

// The SQLCipher key for a table's owner key kind, as "x'<64 hex>'": a raw
// 256-bit key derived once per process (no passphrase stretching per open),
// handed out as a copy in locked memory that is wiped when it goes.
// Empty for OwnerKeyKind::None, and for Owner before setOwnerKey().
SecretBytes rawTableKey(OwnerKeyKind kind);

// With a data key (32 random bytes) in use, every encrypted table (Owner,
// Words and the version 2.1 ones) opens under it instead of its built-in key;
// an empty one restores those.
void useDataKey(const SecretBytes& dataKey);
bool dataKeyInUse();
// The key a kind's tables have without a data key, whatever is in use now.
SecretBytes builtInTableKey(OwnerKeyKind kind);
// The raw key text ("x'<64 hex>'") SQLCipher takes for 32 key bytes.
SecretBytes rawKeyText(const SecretBytes& keyBytes);

// Fixed keys compiled into the program.
inline constexpr char kWordsOwnerKey[] = "Wq7#Lm2!Rt9$Vx4%Bn6&Hk3*Pz8@c";
inline constexpr char kOldOwnerKey[] = "Fj5?Ds1^Gy7+Nw3=Qe8~Tu2;Ka6]";
static_assert(sizeof(kWordsOwnerKey) == 29 + 1, "WordsOwnerKey has 29 characters");
static_assert(sizeof(kOldOwnerKey) == 28 + 1, "OldOwnerKey has 28 characters");

} // namespace ql
