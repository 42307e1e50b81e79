#include "platform/x11windows/X11TopLevels.h"
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

std::vector<uint32_t> X11TopLevels::withClass(const std::vector<uint32_t>& windows) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (uint32_t w : windows)
        cookies.push_back(askProperty(conn_, w, XCB_ATOM_WM_CLASS, XCB_ATOM_ANY, 0));
    std::vector<uint32_t> out;
    for (size_t i = 0; i < windows.size(); ++i) {
        auto r = fetch(conn_, cookies[i]);
        if (r && r->type != XCB_ATOM_NONE) out.push_back(windows[i]);
    }
    return out;
}

std::vector<uint32_t> X11TopLevels::notOverrideRedirect(const std::vector<uint32_t>& windows) {
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (uint32_t w : windows) cookies.push_back(xcb_get_window_attributes(conn_, w));
    std::vector<uint32_t> out;
    for (size_t i = 0; i < windows.size(); ++i) {
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(conn_, cookies[i], nullptr));
        if (a && !a->override_redirect) out.push_back(windows[i]);
    }
    return out;
}

std::vector<QString> X11TopLevels::titlesOf(const std::vector<uint32_t>& windows) {
    std::vector<xcb_get_property_cookie_t> net;
    net.reserve(windows.size());
    for (uint32_t w : windows)
        net.push_back(askProperty(conn_, w, atoms_.netWmName, atoms_.utf8, kTitleLongs));
    std::vector<QString> titles(windows.size());
    std::vector<size_t> missing;
    for (size_t i = 0; i < windows.size(); ++i) {
        titles[i] = decodeTitle(fetch(conn_, net[i]), atoms_.utf8);
        if (titles[i].isEmpty()) missing.push_back(i);
    }
    std::vector<xcb_get_property_cookie_t> plain;
    for (size_t i : missing)
        plain.push_back(askProperty(conn_, windows[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, kTitleLongs));
    for (size_t k = 0; k < missing.size(); ++k)
        titles[missing[k]] = decodeTitle(fetch(conn_, plain[k]), atoms_.utf8);
    return titles;
}

std::vector<TopWindow> X11TopLevels::list() {
    // Round trip 1: everything the root window can tell.
    auto checkCookie = askProperty(conn_, root_, atoms_.wmCheck, XCB_ATOM_WINDOW, 1);
    auto stackCookie = askProperty(conn_, root_, atoms_.clientStacking, XCB_ATOM_WINDOW, 65536);
    auto treeCookie = xcb_query_tree(conn_, root_);
    const uint32_t check = firstCardinal(fetch(conn_, checkCookie));
    std::vector<uint32_t> managed = windowsIn(fetch(conn_, stackCookie));
    std::reverse(managed.begin(), managed.end()); // the property lists bottom to top
    std::vector<uint32_t> rootKids;
    {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(conn_, treeCookie, nullptr));
        if (tree) {
            auto* kids = xcb_query_tree_children(tree.p);
            rootKids.assign(kids, kids + xcb_query_tree_children_length(tree.p));
        }
    }
    std::reverse(rootKids.begin(), rootKids.end()); // QueryTree lists bottom to top

    // Round trip 2: the manager's own check, classes of the other root
    // children, UTF-8 names of the managed clients.
    xcb_get_property_cookie_t backCookie{};
    if (check) backCookie = askProperty(conn_, check, atoms_.wmCheck, XCB_ATOM_WINDOW, 1);
    std::vector<xcb_get_property_cookie_t> names;
    names.reserve(managed.size());
    for (uint32_t w : managed)
        names.push_back(askProperty(conn_, w, atoms_.netWmName, atoms_.utf8, kTitleLongs));
    std::vector<uint32_t> hidden = withClass(without(rootKids, managed));
    const bool windowManager = check && firstCardinal(fetch(conn_, backCookie)) == check;
    std::vector<QString> titles(managed.size());
    for (size_t i = 0; i < managed.size(); ++i)
        titles[i] = decodeTitle(fetch(conn_, names[i]), atoms_.utf8);

    if (!windowManager && !managed.empty()) {
        // A list left behind by a manager that is gone: only root children count.
        managed.clear();
        titles.clear();
        hidden = withClass(rootKids);
    } else if (windowManager && managed.empty()) {
        managed = windowsIn(fetch(conn_, askProperty(conn_, root_, atoms_.clientList,
                                                     XCB_ATOM_WINDOW, 65536)));
        std::reverse(managed.begin(), managed.end());
        hidden = without(hidden, managed);
        titles = titlesOf(managed);
    }

    // Round trip 3: attributes of the hidden ones, and the older names.
    hidden = notOverrideRedirect(hidden);
    std::vector<uint32_t> plainOnes;
    std::vector<size_t> plainIndex;
    for (size_t i = 0; i < managed.size(); ++i)
        if (titles[i].isEmpty()) {
            plainOnes.push_back(managed[i]);
            plainIndex.push_back(i);
        }
    std::vector<QString> plainTitles = titlesOf(plainOnes);
    for (size_t k = 0; k < plainIndex.size(); ++k) titles[plainIndex[k]] = plainTitles[k];
    std::vector<QString> hiddenTitles = titlesOf(hidden);

    std::vector<TopWindow> out;
    out.reserve(managed.size() + hidden.size());
    for (size_t i = 0; i < managed.size(); ++i)
        if (!titles[i].isEmpty()) out.push_back({titles[i], managed[i]});
    for (size_t i = 0; i < hidden.size(); ++i)
        if (!hiddenTitles[i].isEmpty()) out.push_back({hiddenTitles[i], hidden[i]});
    return out;
}

} // namespace ql
