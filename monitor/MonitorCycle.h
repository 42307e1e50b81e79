#pragma once
#include "keys/KeySender.h"
#include "monitor/FocusRequests.h"
#include "monitor/MonitorLists.h"
#include "monitor/MonitorPolicy.h"
#include "monitor/WindowFinder.h"
#include "platform/core/Clock.h"
#include "platform/core/Prompter.h"

namespace ql {

// One tick of the window monitor: walks MonitorQueue from the last row to the
// first, finds and brings forward the windows of due rows and sends to them.
class MonitorCycle {
public:
    MonitorCycle(MonitorLists& lists, WindowFinder& finder, KeySender& keys, Clock& clock,
                 Prompter& prompter, const MonitorPolicy& policy)
        : lists_(lists), finder_(finder), keys_(keys), clock_(clock), prompter_(prompter),
          policy_(policy), focus_(finder.windows(), clock) {}

    // Runs one cycle. Returns this run's forced flag afterwards: cleared when a
    // send emptied the queue. A call made while a cycle is already running (its
    // waits process events) returns at once with `forced` unchanged.
    bool runMonitorCycle(bool forced);

    // Sends the row to the target and then removes or reschedules it.
    void sendQueuedEntry(RowId id, WindowHandle target);

    // Whether a row with this due time is due at time of day `now`.
    static bool isDue(int32_t dueTime, int32_t now);

    bool running() const { return running_; }

private:
    MonitorLists& lists_;
    WindowFinder& finder_;
    KeySender& keys_;
    Clock& clock_;
    Prompter& prompter_;
    MonitorPolicy policy_;
    FocusRequests focus_;
    bool running_ = false;
    bool forced_ = false;

    void firstPass();
    void secondPass();
    void sendOneShot(RowId id, const MonitorRow& row);
    void sendWatched(RowId id, const MonitorRow& row);
    FocusRequests::State bringForward(RowId id, WindowHandle target);
    void reportCannotSend(RowId id, const MonitorRow& row);
    void retryLater(RowId id, MonitorRow row);
    void reportStop(const SendResult& result);
    bool settle(int32_t seconds);
    void yield();
};

} // namespace ql
