#pragma once
#include "keys/KeyPlayer.h"
#include "keys/KeySender.h"
#include "keys/SendGuard.h"
#include "platform/core/WindowSystem.h"

namespace ql {

// Types a send line into one known window, item by item: brackets within reach
// press keys (with repeat counts), everything else is typed or pressed one
// character at a time. Stops as soon as the focus leaves the target, while the
// user holds a modifier key, or at a character the layout cannot produce.
class DirectSender {
public:
    DirectSender(KeyPlayer& player, WindowSystem& windows) : player_(player), windows_(windows) {}

    // focusMode: 0 leave the focus alone, 1 give it to the target first,
    // 2 as 1 and hand it back afterwards.
    SendResult SendKeysDirect(WindowHandle target, const QString& line, int focusMode);

    // How many characters after "[" the "]" may lie.
    static constexpr int kBracketReach = 33;

private:
    KeyPlayer& player_;
    WindowSystem& windows_;

    SendResult playLine(const QString& line, SendGuard& guard);
    int playItem(const QString& line, int pos, char32_t* failed);
    bool playBracket(const QString& body);
};

} // namespace ql
