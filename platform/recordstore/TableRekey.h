#pragma once
#include <QString>

namespace ql {

class SecretBytes;

// Copies the data file at `path` (opened under `oldKey`) whole into a new
// file `target` encrypted under `newKey`, in the same page size and journal
// mode, and checks that the copy opens under the new key. The source is only
// read. Any earlier file at `target` is replaced. Both keys are raw key texts.
// Returns true, or false with the reason in `error`.
bool exportUnderKey(const QString& path, const SecretBytes& oldKey, const QString& target,
                    const SecretBytes& newKey, QString& error);

// Removes a data file and the companions the engine makes beside it.
void removeDataFile(const QString& path);

} // namespace ql
