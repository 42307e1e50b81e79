#pragma once
#include "platform/core/WindowSystem.h"
#include <algorithm>
#include <map>
#include <set>

namespace ql {

// In-memory desktop for tests: windows in enumeration order, their children,
// and which one holds the focus. Records every activation.
class FakeWindowSystem : public WindowSystem {
public:
    std::vector<TopWindow> windows;
    std::map<WindowHandle, std::vector<ChildWindow>> children;
    WindowHandle focused = 0;
    WindowHandle ownFocused = 0;
    // Windows whose focus requests come to nothing.
    std::set<WindowHandle> refusing;
    // Every focus request: the window, and how it was asked.
    std::vector<WindowHandle> activations;
    std::vector<FocusWay> ways;
    int topListings = 0;
    int childListings = 0;

    void addWindow(WindowHandle handle, const QString& title,
                   std::vector<ChildWindow> kids = {}) {
        windows.push_back({title, handle});
        children[handle] = std::move(kids);
    }
    void removeWindow(WindowHandle handle) {
        std::erase_if(windows, [&](const TopWindow& w) { return w.handle == handle; });
        children.erase(handle);
        if (focused == handle) focused = 0;
    }

    bool available() const override { return true; }
    std::vector<TopWindow> topWindows() override { ++topListings; return windows; }
    std::vector<ChildWindow> childWindows(WindowHandle window) override {
        ++childListings;
        auto it = children.find(window);
        return it == children.end() ? std::vector<ChildWindow>{} : it->second;
    }
    bool exists(WindowHandle window) override {
        return std::any_of(windows.begin(), windows.end(),
                           [&](const TopWindow& w) { return w.handle == window; });
    }
    void requestFocus(WindowHandle window, FocusWay way) override {
        activations.push_back(window);
        ways.push_back(way);
        if (exists(window) && !refusing.count(window)) focused = window;
    }
    bool hasFocus(WindowHandle window) override { return window != 0 && focused == window; }
    WindowHandle focusedWindow() override { return focused; }
    WindowHandle ownFocusedWindow() override { return ownFocused; }
};

} // namespace ql
