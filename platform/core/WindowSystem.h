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

// How hard a window is asked to take the keyboard focus.
enum class FocusWay {
    Restore, // un-minimize it, then ask the window manager to activate it
    Ask,     // ask the window manager to activate it (directly when there is none)
    Direct,  // raise it and set the input focus on it ourselves
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
    // Asks for the window to come forward with the keyboard focus and returns
    // at once: whether the focus arrived shows in hasFocus() a little later.
    // Callers wait for it without blocking, so a window that refuses the focus
    // never holds the program up.
    virtual void requestFocus(WindowHandle window, FocusWay way) = 0;
    // True when the keyboard focus is in the window (or one of its children).
    virtual bool hasFocus(WindowHandle window) = 0;
    // The top-level window holding the keyboard focus (0 when none).
    virtual WindowHandle focusedWindow() = 0;
    // The top-level window that holds the keyboard focus if it belongs to this
    // process, else 0.
    virtual WindowHandle ownFocusedWindow() = 0;
};

} // namespace ql
