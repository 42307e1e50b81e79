#pragma once
#include "platform/recordstore/DataTable.h"
#include "reports/PageBuilder.h"

namespace ql {

// The reading side of a report: one user's entries in the order of one key,
// handed to the page builder a batch at a time. The stored user name may
// differ from the chosen one in letter case; it is still the same user.
class ReportRun {
public:
    enum class Start {
        Found,          // the first entry is read
        NoEntry,        // the user has no entries
        PositionFailed, // the key could not be positioned on (shown as "View Open Error")
        ReadFailed      // the first read failed (shown as a read error)
    };

    ReportRun(DataTable& passwords, const QString& userName, int keyIndex, PageBuilder& pages);

    Start start();
    // Prints up to `limit` entries; false once the reading has ended.
    bool step(int limit);

    int printed() const { return printed_; }
    // Entries printed against every entry of the file (all users), so a run
    // for one of several users ends below 100.
    int percent() const;
    // A read error other than the end of the entries ended the reading.
    bool readFailed() const { return readFailed_; }

private:
    bool advance();

    DataTable& passwords_;
    QString userName_;
    int key_;
    int userField_;
    PageBuilder& pages_;
    qint64 total_ = 0;
    int printed_ = 0;
    bool current_ = false;
    bool readFailed_ = false;
};

} // namespace ql
