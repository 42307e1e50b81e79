#pragma once

namespace ql {

// How grouped sending paces itself: a pause of `groupDelay` hundredths after
// each group of at most `groupSize` plain characters and after each bracket.
struct SendPacing {
    int groupDelay = 50;
    int groupSize = 7;

    // The limits that always hold while sending: a group size of 0 means 7,
    // and pauses shorter than 20 hundredths are raised to 20.
    SendPacing limited() const {
        SendPacing p = *this;
        if (p.groupSize <= 0) p.groupSize = 7;
        if (p.groupDelay < 20) p.groupDelay = 20;
        return p;
    }
};

} // namespace ql
