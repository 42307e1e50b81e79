#pragma once
#include "monitor/MonitorQueue.h"
#include "platform/core/Clock.h"
#include "platform/core/WindowSystem.h"
#include <map>

namespace ql {

// Brings the windows of due rows forward across timer ticks. Asking for the
// focus costs next to nothing; whether it arrived is looked at on the
// following ticks. A window that refuses the focus therefore never holds a
// tick up: after a polite request, then a direct one, it counts as refused.
class FocusRequests {
public:
    enum class State { Arrived, Waiting, Refused };

    static constexpr int64_t kDirectAfter = 20;  // hundredths after the first request
    static constexpr int64_t kRefusedAfter = 40; // ... and at least this long after it

    FocusRequests(WindowSystem& windows, Clock& clock) : windows_(windows), clock_(clock) {}

    // Where the row's window stands; asks for the focus as needed.
    State bringForward(RowId row, WindowHandle window, FocusWay way);
    // Forgets the row's request (sent, removed, or its window gone).
    void forget(RowId row) { attempts_.erase(row); }
    // Forgets the requests of rows `keep` says are gone.
    template <typename Keep> void prune(Keep keep) {
        std::erase_if(attempts_, [&](const auto& item) { return !keep(item.first); });
    }

private:
    struct Attempt {
        WindowHandle window = 0;
        int64_t since = 0;        // first request
        int64_t directSince = -1; // first direct request, -1 before it
    };
    WindowSystem& windows_;
    Clock& clock_;
    std::map<RowId, Attempt> attempts_;

    int64_t moment() const;
};

} // namespace ql
