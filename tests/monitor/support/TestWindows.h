#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace ql::testing {

// Plain X11 windows for tests and benchmarks, made over a connection of their
// own so that they belong to "another program" as far as the code under test is
// concerned.
class TestWindows {
public:
    TestWindows();
    ~TestWindows();
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;

    bool ok() const;
    struct Options {
        bool map = true;
        bool withClass = true;
        bool overrideRedirect = false;
        bool netName = true;   // title in _NET_WM_NAME (UTF-8), else only WM_NAME
        uint32_t pid = 0;      // _NET_WM_PID when not 0
        uint32_t parent = 0;   // 0: a top-level window
    };
    uint32_t create(const std::string& title, const Options& options);
    uint32_t create(const std::string& title) { return create(title, Options{}); }
    // Sets or deletes WM_CLASS ("qltest", "QlTest") and waits until the server has it.
    void setClass(uint32_t window, bool present);
    void destroy(uint32_t window);
    void unmap(uint32_t window);
    // Asks the window manager to minimize the window.
    void iconify(uint32_t window);
    bool viewable(uint32_t window);
    // Waits until the window is viewable (or a time limit passes).
    bool waitMapped(uint32_t window);
    void sync();

private:
    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint32_t netWmName_ = 0, utf8_ = 0, wmPid_ = 0;
    void setText(uint32_t window, uint32_t property, uint32_t type, const std::string& text);
    void putClass(uint32_t window);
};

} // namespace ql::testing
