#pragma once
// Small helpers over XCB replies shared by the window-system files.
#include <xcb/xcb.h>
#include <cstdlib>
#include <vector>

namespace ql {
namespace xcbreply {

// Owns one reply of XCB; replies are malloc'ed.
template <typename T>
struct Reply {
    T* p = nullptr;
    explicit Reply(T* r = nullptr) : p(r) {}
    ~Reply() { std::free(p); }
    Reply(Reply&& o) noexcept : p(o.p) { o.p = nullptr; }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

using PropertyReply = Reply<xcb_get_property_reply_t>;

inline PropertyReply fetch(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* err = nullptr;
    PropertyReply r(xcb_get_property_reply(c, cookie, &err));
    std::free(err);
    return r;
}

inline xcb_get_property_cookie_t askProperty(xcb_connection_t* c, uint32_t window, uint32_t atom,
                                      uint32_t type, uint32_t longs) {
    return xcb_get_property(c, 0, window, atom, type, 0, longs);
}

inline std::vector<uint32_t> windowsIn(const PropertyReply& r) {
    if (!r || r->type != XCB_ATOM_WINDOW || r->format != 32) return {};
    auto* data = static_cast<uint32_t*>(xcb_get_property_value(r.p));
    int n = xcb_get_property_value_length(r.p) / 4;
    return std::vector<uint32_t>(data, data + n);
}

inline uint32_t firstCardinal(const PropertyReply& r) {
    if (!r || r->format != 32 || xcb_get_property_value_length(r.p) < 4) return 0;
    return *static_cast<uint32_t*>(xcb_get_property_value(r.p));
}

inline constexpr uint32_t kTitleLongs = 256;     // up to 1 KiB of title text

} // namespace xcbreply

} // namespace ql
