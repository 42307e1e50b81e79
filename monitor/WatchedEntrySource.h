#pragma once
#include <QString>
#include <cstdint>
#include <vector>

namespace ql {

// What the monitor needs of one password entry.
struct WatchedEntry {
    QString titlePattern;   // P_:WINDOWTITLETOLOCATE
    QString contents;       // P_:WINDOWCONTENTS
    QString sendText;       // P_:PASTE with its field tokens replaced
    int32_t secondsToWait = 0;
    int32_t doNotRepeatSeconds = 0;
    bool directSend = false;
    QString user;           // P_:USER
};

// The monitored entries of a user (P_:MONITOR set), in order of service.
class WatchedEntrySource {
public:
    virtual ~WatchedEntrySource() = default;
    virtual std::vector<WatchedEntry> monitoredEntries(const QString& user) = 0;
};

} // namespace ql
