#include "entries/views/WaitSpinBox.h"
#include <algorithm>

namespace ql {

WaitSpinBox::WaitSpinBox(int stepMaximum, QWidget* parent)
    : QSpinBox(parent), stepMaximum_(stepMaximum) {
    setRange(0, 999);
}

void WaitSpinBox::stepBy(int steps) {
    setValue(std::clamp(value() + steps, 0, stepMaximum_));
    selectAll();
}

QAbstractSpinBox::StepEnabled WaitSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() > 0) enabled |= StepDownEnabled;
    if (value() < stepMaximum_) enabled |= StepUpEnabled;
    return enabled;
}

} // namespace ql
