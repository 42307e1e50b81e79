#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

struct xcb_connection_t;

namespace ql {

// Which children of the root window carry WM_CLASS, asked once per window:
// the server then reports every change of the window's properties to this
// connection, and a change of WM_CLASS forgets the answer. Windows that stop
// being root children are forgotten (and no longer watched); every
// kRefreshEvery refreshes all answers are asked again, so that nothing stays
// stale for long even if a window id was reused.
class RootChildClasses {
public:
    static constexpr int kRefreshEvery = 256;

    explicit RootChildClasses(xcb_connection_t* conn) : conn_(conn) {}

    // Takes in the events received so far (notifications; errors of requests
    // without replies) and drops them.
    void drainEvents();
    // Brings the answers up to the root's current children: drains events,
    // then asks about the children not known yet in one batch.
    void refresh(const std::vector<uint32_t>& rootChildren);
    bool hasClass(uint32_t window) const;
    // The windows that carry WM_CLASS, in their order.
    std::vector<uint32_t> withClass(const std::vector<uint32_t>& windows) const;

private:
    xcb_connection_t* conn_;
    std::unordered_map<uint32_t, bool> known_;
    int refreshes_ = 0;

    void forgetFormerChildren(const std::vector<uint32_t>& rootChildren);
    void ask(const std::vector<uint32_t>& windows);
};

} // namespace ql
