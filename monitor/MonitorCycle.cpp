#include "monitor/MonitorCycle.h"
#include "keys/SendStopped.h"
#include "monitor/MonitorMessages.h"
#include <algorithm>
#include <chrono>
#include <thread>

namespace ql {

namespace {
constexpr int32_t kLateEvening = 8'280'000; // 23:00
constexpr int32_t kRepeatSlack = 50;        // half a second after the interval
constexpr int32_t kRefusedRetry = 500;      // a window that refused the focus: try again in 5 s
constexpr int kSendTextLimit = 255;

// Restores the running flag however the cycle ends.
struct RunningGuard {
    bool& flag;
    explicit RunningGuard(bool& f) : flag(f) { flag = true; }
    ~RunningGuard() { flag = false; }
};
} // namespace

bool MonitorCycle::isDue(int32_t dueTime, int32_t now) {
    if (dueTime <= kHundredthsPerDay) return now >= dueTime;
    return now > dueTime - kHundredthsPerDay && now <= kLateEvening;
}

bool MonitorCycle::runMonitorCycle(bool forced) {
    if (running_) return forced;
    if (lists_.queueEmpty() || (!lists_.monitoringOn() && !forced)) return forced;
    RunningGuard guard(running_);
    forced_ = forced;
    focus_.prune([this](RowId id) { return lists_.find(id).has_value(); });
    finder_.beginCycle();
    firstPass();
    secondPass();
    finder_.endCycle();
    return forced_;
}

void MonitorCycle::yield() { clock_.processEvents(); }

void MonitorCycle::firstPass() {
    for (RowId id : lists_.idsLastToFirst()) {
        std::optional<MonitorRow> row = lists_.find(id);
        if (!row) continue; // removed while events were processed
        if (!lists_.monitoringOn() && forced_ && !row->oneShot) {
            lists_.removeAndCheckEmpty(id); // left over from before monitoring went off
            continue;
        }
        if (!isDue(row->dueTime, clock_.now())) {
            yield();
            continue;
        }
        if (withoutTrailingBlanks(row->titlePattern).isEmpty()) {
            sendQueuedEntry(id, finder_.windows().ownFocusedWindow());
        } else if (row->oneShot) {
            sendOneShot(id, *row);
        }
    }
}

// Asks for the target's focus; the answer may come on a later tick.
FocusRequests::State MonitorCycle::bringForward(RowId id, WindowHandle target) {
    const FocusWay way =
        policy_.activation == ActivationStyle::Restore ? FocusWay::Restore : FocusWay::Ask;
    const FocusRequests::State state = focus_.bringForward(id, target, way);
    finder_.invalidateListing(); // the stacking order may have changed
    return state;
}

// A window that went, or would not take the focus, is as missing as one never
// found: typing anyway would go to whatever window is in front.
void MonitorCycle::sendOneShot(RowId id, const MonitorRow& row) {
    WindowHandle target = finder_.findTargetWindow(row.titlePattern, row.contents);
    if (validHandle(target)) {
        const FocusRequests::State state = bringForward(id, target);
        if (state == FocusRequests::State::Waiting) return;
        if (state == FocusRequests::State::Arrived) {
            sendQueuedEntry(id, target);
            return;
        }
    }
    reportCannotSend(id, row);
}

void MonitorCycle::reportCannotSend(RowId id, const MonitorRow& row) {
    Prompt prompt;
    prompt.title = MonitorMessages::kCannotSendTitle;
    prompt.text = MonitorMessages::cannotSendText(withoutTrailingBlanks(row.titlePattern));
    prompt.icon = PromptIcon::Exclamation;
    prompter_.ask(prompt);
    focus_.forget(id);
    lists_.removeAndCheckEmpty(id);
}

void MonitorCycle::secondPass() {
    for (RowId id : lists_.idsLastToFirst()) {
        std::optional<MonitorRow> row = lists_.find(id);
        if (!row) continue;
        if (!isDue(row->dueTime, clock_.now())) {
            yield();
            continue;
        }
        if (withoutTrailingBlanks(row->titlePattern).isEmpty()) {
            sendQueuedEntry(id, finder_.windows().ownFocusedWindow());
            yield();
            continue;
        }
        // A one-shot row still here waits for its window's focus: the first
        // pass of a later tick looks again.
        if (!row->oneShot) sendWatched(id, *row);
    }
}

void MonitorCycle::sendWatched(RowId id, const MonitorRow& row) {
    WindowHandle target = finder_.findTargetWindow(row.titlePattern, row.contents);
    if (!validHandle(target)) { // the row waits for its window
        focus_.forget(id);
        return;
    }
    const FocusRequests::State state = bringForward(id, target);
    if (state == FocusRequests::State::Waiting) return;
    if (state == FocusRequests::State::Refused) {
        retryLater(id, row);
        return;
    }
    if (row.settleSeconds <= 0) {
        sendQueuedEntry(id, target);
        return;
    }
    if (!settle(row.settleSeconds)) return;
    finder_.invalidateListing();
    // Still the same window: the sender gives it the focus again, wherever the
    // user put it meanwhile, and types only once it is there.
    if (finder_.findTargetWindow(row.titlePattern, QString()) == target)
        sendQueuedEntry(id, target);
}

// A watched window that refused the focus is asked again after the row's
// repeat interval (or a few seconds), not on every tick.
void MonitorCycle::retryLater(RowId id, MonitorRow row) {
    row.dueTime = clock_.now() + std::max(row.repeatInterval, kRefusedRetry) + kRepeatSlack;
    lists_.replace(id, row);
}

// Waits the settle time while processing events. False when the wait was cut
// short because the clock went past midnight meanwhile.
bool MonitorCycle::settle(int32_t seconds) {
    const int32_t start = clock_.now();
    const int32_t until = start + seconds * 100;
    if (until > kHundredthsPerDay) return true; // no wait across midnight
    for (;;) {
        int32_t now = clock_.now();
        if (now >= until) return true;
        if (now < start) return false;
        yield();
        if (policy_.settlePollMilliseconds > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(policy_.settlePollMilliseconds));
    }
}

void MonitorCycle::reportStop(const SendResult& result) {
    const bool noKeyboard = result.outcome == SendOutcome::NoKeyboard;
    const bool notAllowed = result.outcome == SendOutcome::NotAllowed;
    prompter_.ask({noKeyboard || notAllowed ? kNoKeyboardTitle : kSendStoppedTitle,
                   noKeyboard ? kNoKeyboardText : notAllowed ? kNotAllowedText : sendStoppedText(result),
                   int(PromptButton::Ok),
                   PromptButton::Ok, PromptIcon::Exclamation});
}

void MonitorCycle::sendQueuedEntry(RowId id, WindowHandle target) {
    std::optional<MonitorRow> row = lists_.find(id);
    if (!row) return;
    const QString text = row->sendText.left(kSendTextLimit);
    const WindowHandle guarded = validHandle(target) ? target : 0;
    SendResult result = guarded && row->directSend ? keys_.sendDirect(guarded, text, 1)
                                                   : keys_.sendGrouped(text, guarded);
    finder_.invalidateListing();
    if (result == SendOutcome::NotFocused) { // nothing was typed
        if (row->oneShot) reportCannotSend(id, *row);
        return; // a watched row waits for its window to take the focus
    }
    // Either way the row counts as sent: typing the line again could land in
    // the wrong window, or fail the same way.
    if (result != SendOutcome::Completed) reportStop(result);
    focus_.forget(id);
    bool emptied = false;
    if (row->repeatInterval == 0 || row->oneShot) {
        emptied = lists_.removeAndCheckEmpty(id);
    } else {
        row->dueTime = clock_.now() + row->repeatInterval + kRepeatSlack;
        lists_.replace(id, *row);
    }
    if (emptied) forced_ = false;
}

} // namespace ql
