#include "monitor/MonitorCycle.h"
#include "keys/SendStopped.h"
#include "monitor/MonitorMessages.h"
#include <chrono>
#include <thread>

namespace ql {

namespace {
constexpr int32_t kLateEvening = 8'280'000; // 23:00
constexpr int32_t kRepeatSlack = 50;        // half a second after the interval
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

void MonitorCycle::sendOneShot(RowId id, const MonitorRow& row) {
    bool forward = false;
    WindowHandle target =
        finder_.activateTargetWindow(row.titlePattern, row.contents, policy_.activation, &forward);
    // A window that went before it could come forward is as missing as one
    // never found: typing anyway would go to whatever window is in front.
    if (validHandle(target) && forward) {
        sendQueuedEntry(id, target);
        return;
    }
    Prompt prompt;
    prompt.title = MonitorMessages::kCannotSendTitle;
    prompt.text = MonitorMessages::cannotSendText(withoutTrailingBlanks(row.titlePattern));
    prompt.icon = PromptIcon::Exclamation;
    prompter_.ask(prompt);
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
        sendWatched(id, *row);
    }
}

void MonitorCycle::sendWatched(RowId id, const MonitorRow& row) {
    bool forward = false;
    WindowHandle target =
        finder_.activateTargetWindow(row.titlePattern, row.contents, policy_.activation, &forward);
    if (!validHandle(target) || !forward) return; // the row waits for its window
    if (row.settleSeconds <= 0) {
        sendQueuedEntry(id, target);
        return;
    }
    if (!settle(row.settleSeconds)) return;
    finder_.invalidateListing();
    if (finder_.findTargetWindow(row.titlePattern, QString()) == target)
        sendQueuedEntry(id, target);
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

void MonitorCycle::sendQueuedEntry(RowId id, WindowHandle target) {
    std::optional<MonitorRow> row = lists_.find(id);
    if (!row) return;
    const QString text = withoutTrailingBlanks(row->sendText).left(kSendTextLimit);
    SendOutcome outcome = validHandle(target) && row->directSend
                              ? keys_.sendDirect(target, text, 1)
                              : keys_.sendGrouped(text);
    finder_.invalidateListing();
    // Either way the row counts as sent: typing the line again could land in
    // the wrong window, or fail the same way.
    if (outcome == SendOutcome::FocusLost)
        prompter_.ask({kSendStoppedTitle, kSendStoppedText, int(PromptButton::Ok), PromptButton::Ok,
                       PromptIcon::Exclamation});
    else if (outcome == SendOutcome::NoKeyboard)
        prompter_.ask({kNoKeyboardTitle, kNoKeyboardText, int(PromptButton::Ok), PromptButton::Ok,
                       PromptIcon::Exclamation});
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
