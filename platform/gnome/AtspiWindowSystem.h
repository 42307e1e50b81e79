#pragma once
#include "platform/core/WindowSystem.h"
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct _AtspiAccessible AtspiAccessible;

namespace ql {

class ControlTextSource;

// The desktop's windows as the accessibility bus shows them, for desktops
// that tell other programs nothing about their windows (GNOME on Wayland):
// the top-level frames of every application on the bus, with their names as
// titles and the frame in the "active" state as the focused window. Programs
// that are not on the bus (toolkits with accessibility off) are not seen.
// This process's own windows are left out of the list (asking ourselves over
// the bus would wait on ourselves); `ownActive` tells whether one of them has
// the focus.
class AtspiWindowSystem : public WindowSystem {
public:
    AtspiWindowSystem(std::shared_ptr<ControlTextSource> controls, std::function<bool()> ownActive);
    ~AtspiWindowSystem() override;
    AtspiWindowSystem(const AtspiWindowSystem&) = delete;
    AtspiWindowSystem& operator=(const AtspiWindowSystem&) = delete;

    bool available() const override { return ready_; }
    std::vector<TopWindow> topWindows() override;
    std::vector<ChildWindow> childWindows(WindowHandle window) override;
    bool exists(WindowHandle window) override;
    // Does nothing: the desktop lets no other program bring a window forward.
    void requestFocus(WindowHandle window, FocusWay way) override;
    bool hasFocus(WindowHandle window) override;
    WindowHandle focusedWindow() override;
    // A fixed handle standing for this process's focused window, 0 when none.
    WindowHandle ownFocusedWindow() override;

    static constexpr WindowHandle kOwnWindow = ~WindowHandle(0);

private:
    struct Frame {
        WindowHandle handle = 0;
        QString title;
        bool active = false;
        AtspiAccessible* node = nullptr; // a reference of our own
    };
    bool ready_ = false;
    std::shared_ptr<ControlTextSource> controls_;
    std::function<bool()> ownActive_;
    std::map<std::string, WindowHandle> handles_; // bus name and path -> handle
    // Small numbers are no window to the monitor: handles start well above them.
    WindowHandle nextHandle_ = 0x10000;
    std::vector<Frame> frames_;

    void refresh();
    void release();
    void readApplication(AtspiAccessible* application);
    WindowHandle handleOf(AtspiAccessible* node);
    const Frame* frame(WindowHandle window) const;
};

} // namespace ql
