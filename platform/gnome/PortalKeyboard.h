#pragma once
#include "platform/core/Keyboard.h"
#include "platform/gnome/RemoteDesktopPortal.h"
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <set>

struct xkb_context;
struct xkb_compose_table;

namespace ql {

class SeatKeymap;
class WaylandConnection;

// Keystrokes through the desktop portal's remote-desktop session (GNOME on
// Wayland). The user is asked once per run, at the first send: first with
// our own explanation (`explain`, which may decline), then with the
// desktop's dialog. Characters are typed as key symbols, which the compositor
// finds in the active group of the user's layout only; each is planned from
// the seat's layout first (KeysymPlanner), and one that cannot be typed
// exactly stops the send before anything of it is pressed. The compositor
// tells the active group and the locked modifiers only to the focused
// program: a character must come out the same in every group, and Caps Lock
// is read from the keyboards' lights, or, with no keyboard light on the
// machine, followed from the Caps Lock presses sent here.
class PortalKeyboard : public Keyboard {
public:
    PortalKeyboard(std::shared_ptr<WaylandConnection> connection, std::function<bool()> explain,
                   QString lightsFolder = QStringLiteral("/sys/class/leds"));
    ~PortalKeyboard() override;
    PortalKeyboard(const PortalKeyboard&) = delete;
    PortalKeyboard& operator=(const PortalKeyboard&) = delete;

    static bool offered();

    bool available() const override { return offered_; }
    bool prepareSend() override;
    void prepareLine(const QString& line) override;
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    bool typeCharacter(char32_t ch, bool shift) override;
    bool capsLockOn() override;
    // The compositor does not tell us what the user holds.
    bool modifiersHeld() override { return false; }
    void releaseAll() override;
    // The session has no pointer: clicks are not sent.
    void click(int, int) override {}

    // How long the desktop's dialog may wait for the user.
    static constexpr std::chrono::minutes kAnswerWait{2};
    // The pause before a character typed through a dead key.
    static constexpr std::chrono::milliseconds kComposeGap{60};

private:
    std::shared_ptr<WaylandConnection> connection_;
    std::function<bool()> explain_;
    QString lightsFolder_;
    bool offered_ = false;
    bool asked_ = false;
    RemoteDesktopPortal portal_;
    std::unique_ptr<SeatKeymap> seat_;
    xkb_context* context_ = nullptr;
    xkb_compose_table* compose_ = nullptr;
    bool capsSent_ = false; // Caps Lock as toggled by our own presses
    std::set<uint32_t> pressed_;

    bool sendKey(uint32_t evdevCode, bool press);
};

// Whether any keyboard light of `folder` (sysfs' LED class) that shows Caps
// Lock is lit; none when the folder has no such light.
std::optional<bool> capsLockLight(const QString& folder);

} // namespace ql
