#pragma once
#include "platform/recordstore/StoreError.h"
#include "platform/records/Record.h"
#include "platform/records/TableDef.h"
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace ql {

class StoreConnection;
class SqlSchema;
struct TableLocation;

// Access modes of open(): low nibble 0 read only, 1 write only, 2 read/write;
// high nibble 0x10 deny all, 0x20 deny write, 0x40 deny none.
namespace access_mode {
constexpr int SharedReadWrite = 0x42;     // 66: others may read and write
constexpr int DenyWriteReadWrite = 0x22;  // 34: others may only read (not enforced)
constexpr int ExclusiveReadWrite = 0x12;  // 18: no sharing (held as an exclusive lock)
constexpr int SharedReadOnly = 0x40;      // 64
constexpr int DenyWriteReadOnly = 0x20;   // 32
}

// A stretch of one key: the records whose first components equal `equal`
// (texts as QString, numbers as qint64), and, when given, whose next
// component (a number) lies between `low` and `high` inclusive.
struct KeyRange {
    int key = -1;
    std::vector<QVariant> equal;
    std::optional<qint64> low, high;
};

// A place in a range: just after the record whose key components after the
// range's fixed ones hold `key`, and whose record number is `recordNumber`.
struct RangeMark {
    std::vector<QVariant> key;
    qint64 recordNumber = 0;
};

// Chosen fields of one record read through a range: texts as QString, numbers
// as qint64, in the order they were asked for; `key` holds the record's key
// components after the range's fixed ones.
struct RangeRow {
    qint64 recordNumber = 0;
    std::vector<QVariant> values;
    std::vector<QVariant> key;
    RangeMark mark() const { return {key, recordNumber}; }
};

// One table of one process, with its record buffer. Every operation sets
// errorCode()/errorText(), to be read at once after the call.
//
// Names: "QL_DATA\\!Pwd" is table Pwd inside the container file QL_DATA.qld; a
// name without "\\!" is a file of its own, ".qld" added when it has no
// extension. Names resolve against the current folder when the table opens.
//
// Keys: text components compare ignoring case (Unicode case folding) unless the
// key is case-sensitive; trailing blanks never count. Records with equal values
// in a key that allows duplicates are ordered by record number, both ways.
//
// Positioning: setPosition/setToStart/setToEnd then next()/previous() walk a
// key; setStoredOrder then next()/previous() walk record numbers (also the
// walk after open). fetch(), next(), previous() and getByRecordNumber() make
// the record read current (for put/remove) and move the position there; add()
// makes the new record current and leaves the position alone.
//
// Batches: stream() begins one transaction for all following writes, flush()
// commits it, cancelBatch() rolls it back. close() flushes an open batch. A
// batch that never reaches flush() (the process ends, the commit fails) leaves
// the table as it was. A refused add/put inside a batch only undoes itself.
//
// Connections and locks: each DataTable has a connection of its own, used from
// one thread. A write holds its file's write lock for one write, a batch for
// the whole batch; any other connection writing to the same file meanwhile
// (another process, or another DataTable of this one, e.g. Users while
// Passwords streams) waits up to the recover time, 10 s, then gets 32. Do a
// batch's writes through the DataTable that streams, or through a table of the
// same file opened with openOn() on it: its writes join the host's batch, so
// changes to two tables of one container commit or roll back together.
// Readers never wait.
//
// Opening checks the stored layout against the declared one: a wrong owner key
// or a file that is not a data file gives 36, another layout 47 (unless an
// older registered structure is converted), missing, altered or extra keys 46.
// Before anything else is read, every object of the file must be one the store
// creates itself (no triggers, views, virtual or statistics tables): a file
// holding anything else is "Not a valid data file" (36) and is left alone.
class DataTable {
public:
    explicit DataTable(const TableDef& def);
    ~DataTable();
    DataTable(const DataTable&) = delete;
    DataTable& operator=(const DataTable&) = delete;

    const TableDef& def() const { return def_; }
    Record& record() { return record_; }
    const Record& record() const { return record_; }

    // Creates the table (and its container file) when absent; an existing
    // table is left as it is and reported as success.
    int create();
    int open(int accessMode = access_mode::SharedReadWrite);
    // Opens this table on the connection of `host`, an open table of the same
    // file: while the host streams, this table's writes belong to the host's
    // batch (committed by its flush(), undone by its cancelBatch()); outside a
    // batch each write commits on its own as usual. Never stream() the guest.
    int openOn(DataTable& host);
    void close();
    bool isOpen() const;

    int add();     // inserts the buffer; numbers the auto-increment field when 0
    int put();     // writes the buffer back over the current record
    int remove();  // deletes the current record
    // True when a record other than the current one (any record, for an
    // insert) already holds the buffer's value in the unique key: the test a
    // form makes before it writes. False for a key that allows duplicates.
    bool duplicates(int keyIndex, bool insert);

    int fetch(int keyIndex);                          // 35 when absent
    int setPosition(int keyIndex, bool after = false); // before/after the buffer's key value
    int setToStart(int keyIndex);
    int setToEnd(int keyIndex);
    int next();      // 33 past the end
    int previous();  // 33 before the start
    int getByRecordNumber(qint64 recordNumber);
    int setStoredOrder(qint64 afterRecordNumber = 0); // next() reads the following records
    qint64 recordNumber() const { return currentRow_; } // of the current record, 0 if none

    qint64 records();   // -1 with an error code when not open

    // Reads by position within a key range, for lists that show a window of
    // a long range. None of them touches the buffer or the position.
    // The number of records in the range; -1 on an error.
    qint64 countRange(const KeyRange& range);
    // Up to `limit` records from position `offset` of the range (0 = its first
    // record); with fromEnd, the records ending `offset` records before its
    // last. Rows come in key order either way; text fields are cut to
    // `textLimit` characters. The cost grows with `offset`: read from the
    // nearer end, or from a mark.
    int readRange(const KeyRange& range, qint64 offset, int limit, bool fromEnd,
                  const std::vector<int>& fields, int textLimit, std::vector<RangeRow>& rows);
    // The same from `offset` records after a mark (which names every key
    // component after the fixed ones), in key order.
    int readRangeAfter(const KeyRange& range, const RangeMark& after, qint64 offset, int limit,
                       const std::vector<int>& fields, int textLimit, std::vector<RangeRow>& rows);
    // How many records of the range sort before the place `at` names. Key
    // components it leaves out, and a record number of 0, sort before every
    // record with the values given. -1 on an error.
    qint64 countRangeBefore(const KeyRange& range, const RangeMark& at);
    void clearBuffer() { record_.clear(); }

    int buildKeys();    // rebuilds every key; works on an open or closed table
    int stream();
    int flush();
    int cancelBatch();
    bool inBatch() const { return inBatch_; }
    int removeFile();   // drops the table (closing it first); an emptied container file goes too
    // "Recover=n" (lock wait in seconds, also for later opens), "QUICKSCAN=on|off".
    int send(const QString& command);
    bool quickScan() const { return quickScan_; }

    void setFileName(const QString& name); // replaces def().storedAs, e.g. for SyncFile
    QString fileName() const { return storedAs_; }

    int errorCode() const { return errorCode_; }
    QString errorText() const { return errorText_; }
    QString driverErrorCode() const { return driverCode_; }  // SQLite's code, for 90
    QString driverErrorText() const { return driverText_; }  // SQLite's message, for 90
    QString duplicateKeyDescription() const { return duplicateKey_; } // for 40

private:
    struct Cursor;
    int ok();
    int fail(int code, const QString& text = {});
    int failDriver(const StoreConnection& conn);
    int openConnection(int accessMode, bool checkKeys);
    int finishOpen(const TableLocation& loc, bool checkKeys);
    int checkStructure(bool checkKeys);
    int rebuildIndexes();
    int beginWrite();
    int endWrite(int result);
    int writeRecord(bool insert);
    int firstClashingKey(bool insert);
    int readRow(void* statement, int key, int notFound);
    int readStep(bool forward);
    bool requireOpen(bool forWriting = false);
    bool validKey(int key);
    bool validRange(const KeyRange& range);
    QString countOf(const KeyRange& range, const QString& where) const;
    qint64 sumOfCounts(const QStringList& counts, const std::vector<QVariant>& values);
    QString rangeColumns(const KeyRange& range, const std::vector<int>& fields, int textLimit);
    int readRows(void* statement, const KeyRange& range, const std::vector<int>& fields,
                 std::vector<RangeRow>& rows);

    TableDef def_;
    Record record_;
    QString storedAs_;
    std::unique_ptr<StoreConnection> conn_;
    std::unique_ptr<SqlSchema> schema_;
    std::unique_ptr<Cursor> cursor_;
    qint64 currentRow_ = 0;
    int recoverSeconds_ = 10;
    bool inBatch_ = false;
    bool joinedWrite_ = false; // the write runs inside a transaction of a shared connection
    bool quickScan_ = false;
    bool readOnly_ = false;
    int errorCode_ = 0;
    QString errorText_, driverCode_, driverText_, duplicateKey_;
};

// The program's OwnerKey (64 characters), process-wide; raw table keys are
// derived from it once here.
void setOwnerKey(const QString& ownerKey);

// The structure-upgrade manager: registers a table's declared structure
// version once per process. Opening a registered table stored under an older
// version brings it to the declared layout, keeping its records.
void registerStructure(const QString& prefix, const QString& label, int version);

} // namespace ql
