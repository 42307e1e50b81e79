#pragma once
#include "keys/KeyPlayer.h"
#include "keys/KeySender.h"
#include "keys/SendGuard.h"
#include "keys/SendPacing.h"
#include "platform/core/WindowSystem.h"

namespace ql {

// Plays a send line into one window: plain text in paced groups, bracket names
// as key presses. The window is given the focus first (or, without a target,
// the window that has it when the send begins is kept); the send stops as soon
// as the focus leaves it, while the user holds a modifier key, or at a
// character the layout cannot produce.
class GroupedSender {
public:
    GroupedSender(KeyPlayer& player, WindowSystem& windows) : player_(player), windows_(windows) {}

    SendResult SendKeysGrouped(const QString& line, SendPacing pacing, WindowHandle target = 0);

private:
    KeyPlayer& player_;
    WindowSystem& windows_;

    SendResult playLine(const QString& line, SendPacing pacing, SendGuard& guard);
    SendResult playBracket(const QString& body);
};

} // namespace ql
