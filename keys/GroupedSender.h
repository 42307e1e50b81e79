#pragma once
#include "keys/KeyPlayer.h"
#include "keys/KeySender.h"
#include "keys/SendPacing.h"
#include "platform/core/WindowSystem.h"

namespace ql {

// Plays a send line into whatever window has the keyboard focus: plain text in
// paced groups, bracket names as key presses. Stops as soon as the focus leaves
// the window that had it when the send began.
class GroupedSender {
public:
    GroupedSender(KeyPlayer& player, WindowSystem& windows) : player_(player), windows_(windows) {}

    SendOutcome SendKeysGrouped(const QString& line, SendPacing pacing);

private:
    KeyPlayer& player_;
    WindowSystem& windows_;

    void playBracket(const QString& body);
};

} // namespace ql
