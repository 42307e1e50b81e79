#pragma once
#include <cstdint>

namespace ql {

// Date and time of day as the program counts them:
//  - a date is a day number (consecutive integers, day % 7 == 0 is a Sunday, 0 = no date);
//  - a time of day is hundredths of a second since midnight plus one
//    (1 at midnight, 8,640,000 at the end of the day).
class Clock {
public:
    virtual ~Clock() = default;
    virtual int32_t today() const = 0;
    virtual int32_t now() const = 0;
    // Processes pending events once (real clock) or advances a fake clock's
    // scripted step; used by waits that must keep the program responsive.
    virtual void processEvents() = 0;
};

inline constexpr int32_t kHundredthsPerDay = 8'640'000;

} // namespace ql
