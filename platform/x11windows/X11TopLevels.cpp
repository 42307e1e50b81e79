#include "platform/x11windows/X11TopLevels.h"
#include "platform/x11windows/RootChildClasses.h"
#include "platform/x11windows/XcbReply.h"
#include <algorithm>

namespace ql {

using namespace xcbreply;

namespace {

QString decodeTitle(const PropertyReply& r, uint32_t utf8) {
    if (!r || r->format != 8 || xcb_get_property_value_length(r.p) <= 0) return {};
    const char* text = static_cast<const char*>(xcb_get_property_value(r.p));
    int len = xcb_get_property_value_length(r.p);
    return r->type == utf8 ? QString::fromUtf8(text, len) : QString::fromLatin1(text, len);
}

std::vector<uint32_t> without(const std::vector<uint32_t>& all, std::vector<uint32_t> skip) {
    std::sort(skip.begin(), skip.end());
    std::vector<uint32_t> out;
    for (uint32_t w : all)
        if (!std::binary_search(skip.begin(), skip.end(), w)) out.push_back(w);
    return out;
}

} // namespace

struct X11TopLevels::RootState {
    uint32_t check = 0;             // the window named by _NET_SUPPORTING_WM_CHECK
    std::vector<uint32_t> managed;  // _NET_CLIENT_LIST_STACKING, top first
    std::vector<uint32_t> children; // of the root, top first
};

// The hidden windows' attributes and both names are asked at once: there are
// few of them, and it saves a round trip.
struct X11TopLevels::HiddenRequest {
    uint32_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t netName, plainName;
};

X11TopLevels::RootState X11TopLevels::readRoot() {
    auto checkCookie = askProperty(conn_, root_, atoms_.wmCheck, XCB_ATOM_WINDOW, 1);
    auto stackCookie = askProperty(conn_, root_, atoms_.clientStacking, XCB_ATOM_WINDOW, 65536);
    auto treeCookie = xcb_query_tree(conn_, root_);
    RootState state;
    state.check = firstCardinal(fetch(conn_, checkCookie));
    state.managed = windowsIn(fetch(conn_, stackCookie));
    std::reverse(state.managed.begin(), state.managed.end()); // the property lists bottom to top
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(conn_, treeCookie, nullptr));
    if (tree) {
        auto* kids = xcb_query_tree_children(tree.p);
        state.children.assign(kids, kids + xcb_query_tree_children_length(tree.p));
    }
    std::reverse(state.children.begin(), state.children.end()); // QueryTree lists bottom to top
    return state;
}

std::vector<xcb_get_property_cookie_t> X11TopLevels::askNetNames(
    const std::vector<uint32_t>& windows) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (uint32_t w : windows)
        cookies.push_back(askProperty(conn_, w, atoms_.netWmName, atoms_.utf8, kTitleLongs));
    return cookies;
}

// Windows without _NET_WM_NAME are asked for WM_NAME, all in one more round trip.
std::vector<QString> X11TopLevels::readTitles(
    const std::vector<uint32_t>& windows, const std::vector<xcb_get_property_cookie_t>& netNames) {
    std::vector<QString> titles(windows.size());
    std::vector<size_t> missing;
    for (size_t i = 0; i < windows.size(); ++i) {
        titles[i] = decodeTitle(fetch(conn_, netNames[i]), atoms_.utf8);
        if (titles[i].isEmpty()) missing.push_back(i);
    }
    std::vector<xcb_get_property_cookie_t> plain;
    for (size_t i : missing)
        plain.push_back(askProperty(conn_, windows[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, kTitleLongs));
    for (size_t k = 0; k < missing.size(); ++k)
        titles[missing[k]] = decodeTitle(fetch(conn_, plain[k]), atoms_.utf8);
    return titles;
}

std::vector<QString> X11TopLevels::titlesOf(const std::vector<uint32_t>& windows) {
    return readTitles(windows, askNetNames(windows));
}

std::vector<X11TopLevels::HiddenRequest> X11TopLevels::askHidden(
    const std::vector<uint32_t>& windows) {
    std::vector<HiddenRequest> requests;
    requests.reserve(windows.size());
    for (uint32_t w : windows)
        requests.push_back({w, xcb_get_window_attributes(conn_, w),
                            askProperty(conn_, w, atoms_.netWmName, atoms_.utf8, kTitleLongs),
                            askProperty(conn_, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, kTitleLongs)});
    return requests;
}

// The titled hidden windows that are not override-redirect (menus, tooltips).
std::vector<TopWindow> X11TopLevels::readHidden(const std::vector<HiddenRequest>& requests) {
    std::vector<TopWindow> out;
    for (const HiddenRequest& r : requests) {
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(conn_, r.attributes, nullptr));
        QString title = decodeTitle(fetch(conn_, r.netName), atoms_.utf8);
        PropertyReply plain = fetch(conn_, r.plainName); // read in any case: frees the reply
        if (title.isEmpty()) title = decodeTitle(plain, atoms_.utf8);
        if (a && !a->override_redirect && !title.isEmpty()) out.push_back({title, r.window});
    }
    return out;
}

std::vector<uint32_t> X11TopLevels::clientList() {
    std::vector<uint32_t> managed = windowsIn(
        fetch(conn_, askProperty(conn_, root_, atoms_.clientList, XCB_ATOM_WINDOW, 65536)));
    std::reverse(managed.begin(), managed.end());
    return managed;
}

std::vector<TopWindow> X11TopLevels::list() {
    RootState root = readRoot();
    classes_.refresh(root.children); // no requests once every child is known

    xcb_get_property_cookie_t backCookie{};
    if (root.check) backCookie = askProperty(conn_, root.check, atoms_.wmCheck, XCB_ATOM_WINDOW, 1);
    std::vector<uint32_t> managed = std::move(root.managed);
    const auto names = askNetNames(managed);
    const auto hiddenAsked = askHidden(classes_.withClass(without(root.children, managed)));
    const bool windowManager = root.check && firstCardinal(fetch(conn_, backCookie)) == root.check;
    std::vector<QString> titles = readTitles(managed, names);
    std::vector<TopWindow> hidden = readHidden(hiddenAsked);

    if (!windowManager && !managed.empty()) {
        // A list left behind by a manager that is gone: only root children count.
        managed.clear();
        titles.clear();
        hidden = readHidden(askHidden(classes_.withClass(root.children)));
    } else if (windowManager && managed.empty()) {
        managed = clientList();
        std::vector<uint32_t> sorted(managed);
        std::sort(sorted.begin(), sorted.end());
        std::erase_if(hidden, [&](const TopWindow& w) {
            return std::binary_search(sorted.begin(), sorted.end(), uint32_t(w.handle));
        });
        titles = titlesOf(managed);
    }

    std::vector<TopWindow> out;
    out.reserve(managed.size() + hidden.size());
    for (size_t i = 0; i < managed.size(); ++i)
        if (!titles[i].isEmpty()) out.push_back({titles[i], managed[i]});
    out.insert(out.end(), hidden.begin(), hidden.end());
    return out;
}

} // namespace ql
