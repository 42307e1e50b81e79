#pragma once
#include "framework/Halt.h"
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"

namespace ql {

// Opening of tables by procedures that manage their own tables (import, export,
// reports, synchronization, the upgrade), with the numbered file-error messages.
// Unrecoverable errors end the program through the halt.
class DataFileOpener {
public:
    DataFileOpener(Prompter& prompter, Halt halt);

    // Returns normally only when the table is open (a test halt may return:
    // the result is then the table's last error code).
    int openDataFile(DataTable& table, bool createAllowed, bool neverCreate, int accessMode,
                     bool forceShared);

    // Shows message `number` (1, 2, 3, 4, 5, 25, 30, 35 or 36) about `table`'s
    // last error and returns the button pressed; 1, 3, 4, 5 and 2 answered No
    // end the program.
    PromptButton reportFileError(int number, const DataTable& table);

    // The last error as the messages show it: text (code), or the driver's own.
    static QString errorDescription(const DataTable& table);

private:
    int createAndOpen(DataTable& table, int accessMode);
    int rebuildAndOpen(DataTable& table, int accessMode);

    Prompter& prompter_;
    Halt halt_;
};

} // namespace ql
