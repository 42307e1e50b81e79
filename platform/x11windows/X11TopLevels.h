#pragma once
#include "platform/core/WindowSystem.h"
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace ql {

struct X11ListingAtoms {
    uint32_t wmCheck = 0, clientStacking = 0, clientList = 0, netWmName = 0, utf8 = 0;
};

// One listing of the top-level windows in three round trips to the server:
// the root's properties and children; the window manager check, classes and
// UTF-8 names; then attributes and the older names where still needed.
// Top of the stacking order first: managed clients, then unmanaged root
// children with WM_CLASS (hidden windows). Without a window manager, root
// children with WM_CLASS only. Override-redirect windows and empty titles are
// left out.
class X11TopLevels {
public:
    X11TopLevels(xcb_connection_t* conn, uint32_t root, const X11ListingAtoms& atoms)
        : conn_(conn), root_(root), atoms_(atoms) {}

    std::vector<TopWindow> list();

    // Titles of the windows: _NET_WM_NAME, else WM_NAME (two round trips at most).
    std::vector<QString> titlesOf(const std::vector<uint32_t>& windows);

private:
    xcb_connection_t* conn_;
    uint32_t root_;
    X11ListingAtoms atoms_;

    std::vector<uint32_t> withClass(const std::vector<uint32_t>& windows);
    std::vector<uint32_t> notOverrideRedirect(const std::vector<uint32_t>& windows);
};

} // namespace ql
