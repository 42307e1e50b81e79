#pragma once
#include "platform/core/WindowSystem.h"
#include <xcb/xproto.h>
#include <cstdint>
#include <vector>

namespace ql {

class RootChildClasses;

struct X11ListingAtoms {
    uint32_t wmCheck = 0, clientStacking = 0, clientList = 0, netWmName = 0, utf8 = 0;
};

// One listing of the top-level windows in two round trips to the server once
// the root's children are known: the root's properties and children; then the
// window manager check, the UTF-8 names of the managed clients and the
// attributes and names of the hidden windows, all sent before any reply is
// read. Clients that only have the older WM_NAME cost one more round trip.
// Top of the stacking order first: managed clients, then unmanaged root
// children with WM_CLASS (hidden windows). Without a window manager, root
// children with WM_CLASS only. Override-redirect windows and empty titles are
// left out.
class X11TopLevels {
public:
    X11TopLevels(xcb_connection_t* conn, uint32_t root, const X11ListingAtoms& atoms,
                 RootChildClasses& classes)
        : conn_(conn), root_(root), atoms_(atoms), classes_(classes) {}

    std::vector<TopWindow> list();

    // Titles of the windows: _NET_WM_NAME, else WM_NAME (two round trips at most).
    std::vector<QString> titlesOf(const std::vector<uint32_t>& windows);

private:
    struct RootState;
    struct HiddenRequest;
    xcb_connection_t* conn_;
    uint32_t root_;
    X11ListingAtoms atoms_;
    RootChildClasses& classes_;

    RootState readRoot();
    std::vector<xcb_get_property_cookie_t> askNetNames(const std::vector<uint32_t>& windows);
    std::vector<QString> readTitles(const std::vector<uint32_t>& windows,
                                    const std::vector<xcb_get_property_cookie_t>& netNames);
    std::vector<HiddenRequest> askHidden(const std::vector<uint32_t>& windows);
    std::vector<TopWindow> readHidden(const std::vector<HiddenRequest>& requests);
    std::vector<uint32_t> clientList();
};

} // namespace ql
