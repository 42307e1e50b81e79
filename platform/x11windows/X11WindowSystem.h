#pragma once
#include "platform/core/WindowSystem.h"
#include <memory>
#include <string>

struct xcb_connection_t;

namespace ql {

class ControlTextSource;
class RootChildClasses;
class X11TopLevels;

// The desktop's windows over a private XCB connection (never Qt's). Errors are
// never fatal: windows may vanish between two requests.
// Enumeration order is the stacking order, top first: with a window manager the
// managed clients of _NET_CLIENT_LIST_STACKING, then unmanaged root children that
// carry WM_CLASS (hidden windows); without one, root children with WM_CLASS.
class X11WindowSystem : public WindowSystem {
public:
    // `display` null means $DISPLAY. `controls` supplies the texts of a window's
    // controls (the accessibility bus); may be null.
    explicit X11WindowSystem(const char* display = nullptr,
                             std::shared_ptr<ControlTextSource> controls = {});
    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    bool available() const override;
    std::vector<TopWindow> topWindows() override;
    std::vector<ChildWindow> childWindows(WindowHandle window) override;
    bool exists(WindowHandle window) override;
    void requestFocus(WindowHandle window, FocusWay way) override;
    bool hasFocus(WindowHandle window) override;
    WindowHandle focusedWindow() override;
    WindowHandle ownFocusedWindow() override;

    // True while a window manager announces itself on the root window.
    bool hasWindowManager();
    // The process id the window announces in _NET_WM_PID (0 when none).
    uint32_t processOf(WindowHandle window);
    // The window's title as topWindows() reports it.
    QString titleOf(WindowHandle window);

private:
    struct Atoms;
    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    std::unique_ptr<Atoms> atoms_;
    std::shared_ptr<ControlTextSource> controls_;
    std::unique_ptr<RootChildClasses> classes_;

    void drainEvents();
    X11TopLevels listing();
    uint32_t parentOf(uint32_t window, std::vector<uint32_t>* children = nullptr);
    uint32_t inputFocus();
    bool focusInside(uint32_t window);
    bool isViewable(uint32_t window);
    bool hasProperty(uint32_t window, uint32_t atom);
    void requestActivation(uint32_t window);
    void activateDirectly(uint32_t window);
    void namedChildren(uint32_t window, std::vector<ChildWindow>& out, int depth);
};

} // namespace ql
