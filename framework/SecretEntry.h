#pragma once

class QLineEdit;

namespace ql {

// Makes `entry` a field for a password or passphrase: what is typed is shown
// as dots and never kept in the field's undo history, which would hold every
// character typed (and undo would bring back a cleared secret).
void makeSecretEntry(QLineEdit& entry);

} // namespace ql
