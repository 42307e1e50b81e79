#pragma once
#include <QString>

namespace ql {

// Reads one line of standard input that holds a secret (a passphrase, a
// password), without its line end. The bytes go through locked memory that is
// wiped, and standard input is read unbuffered, so that no copy of the line
// stays behind in a buffer of the C library; the caller wipes the text when
// done with it (wipeText). Empty at the end of the input.
QString readSecretLine();

} // namespace ql
