#pragma once
#include "platform/core/WindowSystem.h"
#include <algorithm>
#include <map>

namespace ql {

// In-memory desktop for tests: windows in enumeration order, their children,
// and which one holds the focus. Records every activation.
class FakeWindowSystem : public WindowSystem {
public:
    std::vector<TopWindow> windows;
    std::map<WindowHandle, std::vector<ChildWindow>> children;
    WindowHandle focused = 0;
    WindowHandle ownFocused = 0;
    std::vector<WindowHandle> activations;
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
    bool activate(WindowHandle window, bool) override {
        activations.push_back(window);
        if (!exists(window)) return false;
        focused = window;
        return true;
    }
    WindowHandle focusedWindow() override { return focused; }
    bool giveFocus(WindowHandle window) override {
        if (!exists(window)) return false;
        focused = window;
        return true;
    }
    WindowHandle ownFocusedWindow() override { return ownFocused; }
};

} // namespace ql
