#pragma once

namespace ql {

// Tells the user, before the desktop's own question, why Quillock asks to
// control the keyboard; false when the user would rather not be asked now.
bool explainTypingPermission();

} // namespace ql
