#include "platform/x11windows/RootChildClasses.h"
#include "platform/x11windows/XcbReply.h"
#include <algorithm>

namespace ql {

using namespace xcbreply;

void RootChildClasses::drainEvents() {
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            if (p->atom == XCB_ATOM_WM_CLASS) known_.erase(p->window);
        }
        std::free(e);
    }
}

void RootChildClasses::refresh(const std::vector<uint32_t>& rootChildren) {
    drainEvents();
    forgetFormerChildren(rootChildren);
    if (++refreshes_ % kRefreshEvery == 0) known_.clear();
    std::vector<uint32_t> unknown;
    for (uint32_t w : rootChildren)
        if (!known_.count(w)) unknown.push_back(w);
    if (!unknown.empty()) ask(unknown);
}

// A client reparented into a frame keeps its own property changes away from
// this connection: nobody would read them while the listing is idle.
void RootChildClasses::forgetFormerChildren(const std::vector<uint32_t>& rootChildren) {
    std::vector<uint32_t> sorted(rootChildren);
    std::sort(sorted.begin(), sorted.end());
    const uint32_t none = 0;
    for (auto it = known_.begin(); it != known_.end();) {
        if (std::binary_search(sorted.begin(), sorted.end(), it->first)) {
            ++it;
            continue;
        }
        xcb_change_window_attributes(conn_, it->first, XCB_CW_EVENT_MASK, &none);
        it = known_.erase(it);
    }
}

// The watch is set before the property is read: a change after the read
// always arrives as an event. A window that is gone gives no answer and is
// asked again next time.
void RootChildClasses::ask(const std::vector<uint32_t>& windows) {
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (uint32_t w : windows) {
        xcb_change_window_attributes(conn_, w, XCB_CW_EVENT_MASK, &mask);
        cookies.push_back(askProperty(conn_, w, XCB_ATOM_WM_CLASS, XCB_ATOM_ANY, 0));
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        auto r = fetch(conn_, cookies[i]);
        if (r) known_[windows[i]] = r->type != XCB_ATOM_NONE;
    }
}

bool RootChildClasses::hasClass(uint32_t window) const {
    auto it = known_.find(window);
    return it != known_.end() && it->second;
}

std::vector<uint32_t> RootChildClasses::withClass(const std::vector<uint32_t>& windows) const {
    std::vector<uint32_t> out;
    for (uint32_t w : windows)
        if (hasClass(w)) out.push_back(w);
    return out;
}

} // namespace ql
