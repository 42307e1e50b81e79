#pragma once
#include "monitor/WindowFinder.h"

namespace ql {

// What differs between the main program's monitor and the monitor program's.
struct MonitorPolicy {
    // Watched rows wait the entry's seconds-to-wait again after their window is
    // found, then send only if the same window is still there.
    bool settleAfterFinding = false;
    ActivationStyle activation = ActivationStyle::Restore;
    // A one-shot request asks the frame to minimize (and to run at once when
    // monitoring is off).
    bool notifiesFrame = true;
    // Real-time pause between event passes of a settle wait, so that it does
    // not spin; 0 in tests driven by a fake clock.
    int settlePollMilliseconds = 10;

    static MonitorPolicy mainProgram() { return {}; }
    static MonitorPolicy monitorProgram() {
        MonitorPolicy p;
        p.settleAfterFinding = true;
        p.activation = ActivationStyle::GiveFocus;
        p.notifiesFrame = false;
        return p;
    }
};

} // namespace ql
