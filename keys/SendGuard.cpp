#include "keys/SendGuard.h"

namespace ql {

SendResult SendGuard::begin(WindowHandle target) {
    guarded_ = target ? target : windows_.focusedWindow();
    if (!target || windows_.hasFocus(target)) return SendOutcome::Completed;
    auto arrived = [&] { return windows_.hasFocus(target); };
    windows_.requestFocus(target, FocusWay::Ask);
    if (player_.WaitUntil(arrived, kFocusWait / 2)) return SendOutcome::Completed;
    windows_.requestFocus(target, FocusWay::Direct);
    if (player_.WaitUntil(arrived, kFocusWait / 2)) return SendOutcome::Completed;
    return SendOutcome::NotFocused;
}

bool SendGuard::focusStillThere() {
    return guarded_ ? windows_.hasFocus(guarded_) : windows_.focusedWindow() == 0;
}

SendResult SendGuard::beforeItem() {
    if (!focusStillThere()) return SendOutcome::FocusLost;
    Keyboard& keyboard = player_.keyboard();
    if (!keyboard.modifiersHeld()) return SendOutcome::Completed;
    if (!player_.WaitUntil([&] { return !keyboard.modifiersHeld(); }, kModifierWait))
        return SendOutcome::ModifiersHeld;
    return focusStillThere() ? SendOutcome::Completed : SendOutcome::FocusLost;
}

SendResult SendGuard::finish(SendResult result) {
    if (result.outcome != SendOutcome::Completed) player_.keyboard().releaseAll();
    return result;
}

} // namespace ql
