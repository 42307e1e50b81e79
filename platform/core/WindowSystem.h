#pragma once
#include <QString>
#include <cstdint>
#include <vector>

namespace ql {

// A native top-level or child window. 0 means no window.
using WindowHandle = uint64_t;

struct TopWindow {
    QString title;
    WindowHandle handle = 0;
};

struct ChildWindow {
    QString className;
    QString text; // "<>" when the child shows no text
    WindowHandle handle = 0;
};

// The desktop's windows as the monitor and the keystroke sender see them.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual bool available() const = 0;
    // Top-level windows in enumeration order (top of the stacking order first),
    // visible or not, with non-empty titles.
    virtual std::vector<TopWindow> topWindows() = 0;
    virtual std::vector<ChildWindow> childWindows(WindowHandle window) = 0;
    virtual bool exists(WindowHandle window) = 0;
    // Restores a minimized window and brings it forward with keyboard focus.
    virtual bool activate(WindowHandle window, bool restore) = 0;
    // The top-level window holding the keyboard focus (0 when none).
    virtual WindowHandle focusedWindow() = 0;
    // Gives the keyboard focus to the window; true once it has arrived.
    virtual bool giveFocus(WindowHandle window) = 0;
    // The top-level window that holds the keyboard focus if it belongs to this
    // process, else 0.
    virtual WindowHandle ownFocusedWindow() = 0;
};

} // namespace ql
