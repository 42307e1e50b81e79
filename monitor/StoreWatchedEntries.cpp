#include "monitor/StoreWatchedEntries.h"
#include "keys/SendText.h"
#include "platform/recordstore/DataTable.h"
#include "store/ImportedEntries.h"

namespace ql {

StoreWatchedEntries::StoreWatchedEntries(DataTable& passwords, bool keepPosition)
    : table_(passwords), keepPosition_(keepPosition) {}

WatchedEntry StoreWatchedEntries::entryFrom(const Record& r) {
    SendFields fields;
    fields.password = r.text("P_:PASSWORD");
    fields.name = r.text("P_:NAME");
    fields.url = r.text("P_:URL");
    fields.service = r.text("P_:SERVICE");
    fields.notes = r.text("P_:NOTES");
    fields.moreNotes = r.text("P_:MORENOTES");
    WatchedEntry e;
    e.titlePattern = r.text("P_:WINDOWTITLETOLOCATE");
    e.contents = r.text("P_:WINDOWCONTENTS");
    e.sendText = ExpandSendText(r.text("P_:PASTE"), fields);
    e.secondsToWait = int32_t(r.number("P_:SECONDSTOWAIT"));
    e.doNotRepeatSeconds = int32_t(r.number("P_:DONOTREPEATSECONDS"));
    e.directSend = r.number("P_:DIRECTSEND") != 0;
    e.user = r.text("P_:USER");
    return e;
}

std::vector<WatchedEntry> StoreWatchedEntries::monitoredEntries(const QString& user) {
    Record& buffer = table_.record();
    const Record saved = buffer;
    const qint64 savedRow = table_.recordNumber();

    const int key = table_.def().keyIndex("P_:KEYMONITOR");
    const int userField = buffer.fieldIndex("P_:USER");
    const int monitorField = buffer.fieldIndex("P_:MONITOR");
    std::vector<WatchedEntry> out;
    table_.clearBuffer();
    buffer.setText(userField, user);
    buffer.setNumber(monitorField, 1);
    if (table_.setPosition(key) == 0) {
        while (table_.next() == 0 && buffer.sameText(userField, user) &&
               buffer.number(monitorField) == 1)
            if (imported_entry::watchConfirmed(buffer)) out.push_back(entryFrom(buffer));
    }
    if (keepPosition_) {
        if (savedRow > 0) table_.getByRecordNumber(savedRow);
        buffer = saved;
    }
    return out;
}

} // namespace ql
