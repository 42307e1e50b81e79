#pragma once
#include "platform/core/Clock.h"

namespace ql {

// The desktop's local date and time; processEvents runs the Qt event loop once.
class SystemClock : public Clock {
public:
    int32_t today() const override;
    int32_t now() const override;
    void processEvents() override;
};

// Test clock: time stands still until a test moves it; every processEvents()
// call advances it by `stepPerPass` hundredths, rolling over midnight.
class FakeClock : public Clock {
public:
    int32_t day = 82000;
    int32_t time = 1;
    int32_t stepPerPass = 1;
    int passes = 0;
    int32_t today() const override { return day; }
    int32_t now() const override { return time; }
    void processEvents() override { ++passes; advance(stepPerPass); }
    void advance(int32_t hundredths) {
        time += hundredths;
        while (time > kHundredthsPerDay) { time -= kHundredthsPerDay; ++day; }
    }
    void set(int32_t t) { time = t; }
};

} // namespace ql
