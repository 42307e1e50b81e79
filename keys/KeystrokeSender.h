#pragma once
#include "keys/DirectSender.h"
#include "keys/GroupedSender.h"
#include "keys/KeyPlayer.h"
#include "keys/KeySender.h"
#include "keys/SendPacing.h"

namespace ql {

// The KeySender the monitor uses: both interpreters over one keyboard, clock and
// window system. The pacing of grouped sends comes from the settings and may
// change at any time (setPacing).
class KeystrokeSender : public KeySender {
public:
    KeystrokeSender(Keyboard& keyboard, Clock& clock, WindowSystem& windows,
                    SendPacing pacing = {});

    void setPacing(SendPacing pacing) { pacing_ = pacing; }
    SendPacing pacing() const { return pacing_; }
    // What long waits do between event passes; by default they sleep a
    // millisecond instead of spinning a core. Tests on a fake clock pass {}.
    void setIdle(std::function<void()> idle) { player_.idle = std::move(idle); }

    SendResult sendGrouped(const QString& line, WindowHandle target) override;
    SendResult sendDirect(WindowHandle target, const QString& line, int focusMode) override;

private:
    KeyPlayer player_;
    GroupedSender grouped_;
    DirectSender direct_;
    SendPacing pacing_;
};

} // namespace ql
