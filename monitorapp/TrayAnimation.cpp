#include "monitorapp/TrayAnimation.h"

namespace ql {

QString TrayAnimation::frame(int step) const {
    static constexpr int kBars[kSteps] = {1, 2, 3, 4, 5, 4, 3, 2};
    const int bars = kBars[(step - 1 + kSteps) % kSteps];
    return (red_ ? QStringLiteral("rbar%1_ico") : QStringLiteral("bar%1_ico")).arg(bars);
}

QString TrayAnimation::advance() {
    step_ = step_ % kSteps + 1;
    return frame(step_);
}

} // namespace ql
