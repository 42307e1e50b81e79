#pragma once
#include "keys/KeyPlayer.h"
#include "keys/KeySender.h"
#include "platform/core/WindowSystem.h"

namespace ql {

// What both interpreters check around their keystrokes, since keystrokes go
// wherever the focus is and arrive changed by whatever keys the user holds:
// the focus is given to the chosen window before the first key and must still
// be there before every item; no modifier may be held by the user (a short
// wait lets go of one); and after a stop no key of the sender stays down.
class SendGuard {
public:
    static constexpr int kFocusWait = 40;     // hundredths, half of it asking politely
    static constexpr int kModifierWait = 200; // hundredths

    SendGuard(KeyPlayer& player, WindowSystem& windows) : player_(player), windows_(windows) {}

    // Gives `target` the focus and waits for it while events are processed;
    // NotFocused when it does not arrive. A target of 0 guards the window
    // that has the focus now.
    SendResult begin(WindowHandle target);
    // Before each item: FocusLost, ModifiersHeld or Completed (go on).
    SendResult beforeItem();
    // Ends the send with `result`, letting go of every key after a stop.
    SendResult finish(SendResult result);

private:
    KeyPlayer& player_;
    WindowSystem& windows_;
    WindowHandle guarded_ = 0;

    bool focusStillThere();
};

} // namespace ql
