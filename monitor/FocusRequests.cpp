#include "monitor/FocusRequests.h"

namespace ql {

int64_t FocusRequests::moment() const {
    return int64_t(clock_.today()) * kHundredthsPerDay + clock_.now();
}

FocusRequests::State FocusRequests::bringForward(RowId row, WindowHandle window, FocusWay way) {
    const int64_t now = moment();
    auto it = attempts_.find(row);
    if (it == attempts_.end() || it->second.window != window) {
        if (windows_.hasFocus(window)) {
            attempts_.erase(row);
            return State::Arrived;
        }
        windows_.requestFocus(window, way);
        attempts_[row] = {window, now, -1};
        return windows_.hasFocus(window) ? State::Arrived : State::Waiting;
    }
    Attempt& attempt = it->second;
    if (windows_.hasFocus(window)) {
        attempts_.erase(it);
        return State::Arrived;
    }
    if (attempt.directSince >= 0 && now - attempt.since >= kRefusedAfter &&
        now - attempt.directSince >= kDirectAfter) {
        attempts_.erase(it);
        return State::Refused;
    }
    if (now - attempt.since >= kDirectAfter) {
        windows_.requestFocus(window, FocusWay::Direct);
        if (attempt.directSince < 0) attempt.directSince = now;
    }
    return windows_.hasFocus(window) ? State::Arrived : State::Waiting;
}

} // namespace ql
