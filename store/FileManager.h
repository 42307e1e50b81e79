#pragma once
#include "framework/ErrorManager.h"
#include "platform/recordstore/DataTable.h"
#include <QString>

namespace ql {

// Which of the two programs runs: they differ in which tables they create.
enum class ProgramKind { Main, Monitor };

// The file manager of one table: opening with recovery, creating when missing,
// priming defaults, validating, and writing records with the standard messages.
class FileManager {
public:
    FileManager(const TableDef& def, ErrorManager& errors, bool createWhenMissing);

    const TableDef& def() const { return def_; }
    bool createWhenMissing() const { return create_; }
    void setCreateWhenMissing(bool create) { create_ = create; }

    // Opens `table`: a locked or denied table gets "Recover=10" and one more
    // try, then read-only with a warning; a missing one is created when this
    // manager creates; invalid keys are rebuilt after the message. 0 when open.
    int open(DataTable& table, int accessMode = access_mode::SharedReadWrite);

    // Clears the buffer and puts in the table's defaults.
    void primeRecord(Record& record) const;
    // Checks one field's rule; false (after the range message) when refused.
    bool validateField(Record& record, int field);
    // Checks a value for a field before it is stored (a typed number that the
    // field's type could not hold is judged as typed); false after the message.
    bool validateValue(const Record& record, int field, qint64 value);
    // Checks every rule of a whole record; -1 when all pass, else the field refused.
    int validateRecord(Record& record);

    // Writes through the table with the standard messages; 0 on success.
    int insert(DataTable& table);
    int update(DataTable& table);
    int remove(DataTable& table);

    // Hands the table's last error to the error manager for %ErrorText.
    void captureError(const DataTable& table);
    // Shows the table's last error: the duplicate-key message for a clash,
    // else `messageId` naming this table. Returns the error code.
    int reportWriteError(DataTable& table, uint16_t messageId);

private:
    int openOnce(DataTable& table, int accessMode);
    int recoverAndRetry(DataTable& table, int accessMode);
    int rebuildKeys(DataTable& table, int accessMode);

    const TableDef& def_;
    ErrorManager& errors_;
    bool create_;
};

// The range rule of the wait before an automatic send.
inline constexpr int kMaxSecondsToWait = 199;

} // namespace ql
