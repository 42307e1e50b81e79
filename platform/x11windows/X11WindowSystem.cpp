#include "platform/x11windows/X11WindowSystem.h"
#include "platform/x11windows/RootChildClasses.h"
#include "platform/x11windows/X11TopLevels.h"
#include "platform/x11windows/XcbReply.h"
#include "platform/atspi/ControlTextSource.h"
#include <xcb/xcb.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <QByteArray>
#include <QList>
#include <unistd.h>

namespace ql {

namespace {
using namespace xcbreply;
} // namespace

struct X11WindowSystem::Atoms {
    uint32_t wmCheck = 0, clientStacking = 0, clientList = 0, netWmName = 0, utf8 = 0,
             activeWindow = 0, wmPid = 0, wmState = 0;
};

X11WindowSystem::X11WindowSystem(const char* display,
                                 std::shared_ptr<ControlTextSource> controls)
    : atoms_(std::make_unique<Atoms>()), controls_(std::move(controls)) {
    int screenNumber = 0;
    conn_ = xcb_connect(display, &screenNumber);
    classes_ = std::make_unique<RootChildClasses>(conn_);
    if (xcb_connection_has_error(conn_)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) return;
    root_ = it.data->root;

    const char* names[] = {"_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST_STACKING",
                           "_NET_CLIENT_LIST", "_NET_WM_NAME", "UTF8_STRING",
                           "_NET_ACTIVE_WINDOW", "_NET_WM_PID", "WM_STATE"};
    uint32_t* targets[] = {&atoms_->wmCheck, &atoms_->clientStacking, &atoms_->clientList,
                         &atoms_->netWmName, &atoms_->utf8, &atoms_->activeWindow,
                         &atoms_->wmPid, &atoms_->wmState};
    xcb_intern_atom_cookie_t cookies[8];
    for (int i = 0; i < 8; ++i)
        cookies[i] = xcb_intern_atom(conn_, 0, uint16_t(strlen(names[i])), names[i]);
    for (int i = 0; i < 8; ++i) {
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(conn_, cookies[i], nullptr));
        if (r) *targets[i] = r->atom;
    }
}

X11WindowSystem::~X11WindowSystem() {
    if (conn_) xcb_disconnect(conn_);
}

bool X11WindowSystem::available() const {
    return conn_ && !xcb_connection_has_error(conn_) && root_ != 0;
}

// Errors of requests without replies arrive as events, beside the property
// changes the listing watches; nobody else reads them.
void X11WindowSystem::drainEvents() { classes_->drainEvents(); }

bool X11WindowSystem::hasWindowManager() {
    if (!available()) return false;
    auto fromRoot = fetch(conn_, askProperty(conn_, root_, atoms_->wmCheck, XCB_ATOM_WINDOW, 1));
    uint32_t check = firstCardinal(fromRoot);
    if (!check) return false;
    auto fromCheck = fetch(conn_, askProperty(conn_, check, atoms_->wmCheck, XCB_ATOM_WINDOW, 1));
    return firstCardinal(fromCheck) == check;
}

X11TopLevels X11WindowSystem::listing() {
    return X11TopLevels(conn_, root_,
                        {atoms_->wmCheck, atoms_->clientStacking, atoms_->clientList,
                         atoms_->netWmName, atoms_->utf8},
                        *classes_);
}

std::vector<TopWindow> X11WindowSystem::topWindows() {
    if (!available()) return {};
    drainEvents();
    return listing().list();
}

QString X11WindowSystem::titleOf(WindowHandle window) {
    if (!available() || window == 0 || window > UINT32_MAX) return {};
    return listing().titlesOf({uint32_t(window)}).front();
}

uint32_t X11WindowSystem::processOf(WindowHandle window) {
    if (!available() || window == 0 || window > UINT32_MAX) return 0;
    return firstCardinal(fetch(conn_, askProperty(conn_, uint32_t(window), atoms_->wmPid,
                                                  XCB_ATOM_CARDINAL, 1)));
}

// Parent of the window (0 when it has vanished); optionally its children too.
uint32_t X11WindowSystem::parentOf(uint32_t window, std::vector<uint32_t>* children) {
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(conn_, xcb_query_tree(conn_, window), nullptr));
    if (!tree) return 0;
    if (children) {
        auto* kids = xcb_query_tree_children(tree.p);
        children->assign(kids, kids + xcb_query_tree_children_length(tree.p));
    }
    return tree->parent;
}

void X11WindowSystem::namedChildren(uint32_t window, std::vector<ChildWindow>& out, int depth) {
    std::vector<uint32_t> kids;
    if (depth > 6 || !parentOf(window, &kids) || kids.empty()) return;
    std::vector<QString> titles = listing().titlesOf(kids);
    for (size_t i = 0; i < kids.size(); ++i) {
        if (!titles[i].isEmpty()) {
            auto cls = fetch(conn_, askProperty(conn_, kids[i], XCB_ATOM_WM_CLASS,
                                                XCB_ATOM_STRING, 64));
            QString className;
            if (cls && cls->format == 8) {
                // WM_CLASS is "instance\0class\0"; the class is the second part.
                QByteArray raw(static_cast<const char*>(xcb_get_property_value(cls.p)),
                               xcb_get_property_value_length(cls.p));
                QList<QByteArray> parts = raw.split('\0');
                className = QString::fromLatin1(parts.size() > 1 ? parts[1] : parts.value(0));
            }
            out.push_back({className, titles[i], kids[i]});
        }
        namedChildren(kids[i], out, depth + 1);
    }
}

std::vector<ChildWindow> X11WindowSystem::childWindows(WindowHandle window) {
    if (!available() || window == 0 || window > UINT32_MAX) return {};
    drainEvents();
    std::vector<ChildWindow> out;
    if (controls_) {
        uint32_t pid = processOf(window);
        if (pid) out = controls_->controls(pid, titleOf(window));
    }
    namedChildren(uint32_t(window), out, 0);
    return out;
}

bool X11WindowSystem::exists(WindowHandle window) {
    if (!available() || window == 0 || window > UINT32_MAX) return false;
    Reply<xcb_get_window_attributes_reply_t> a(xcb_get_window_attributes_reply(
        conn_, xcb_get_window_attributes(conn_, uint32_t(window)), nullptr));
    return bool(a);
}

bool X11WindowSystem::isViewable(uint32_t window) {
    Reply<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, window), nullptr));
    return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool X11WindowSystem::hasProperty(uint32_t window, uint32_t atom) {
    auto r = fetch(conn_, askProperty(conn_, window, atom, XCB_ATOM_ANY, 0));
    return r && r->type != XCB_ATOM_NONE;
}

uint32_t X11WindowSystem::inputFocus() {
    Reply<xcb_get_input_focus_reply_t> f(
        xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
    return f ? f->focus : 0;
}

bool X11WindowSystem::focusInside(uint32_t window) {
    uint32_t w = inputFocus();
    for (int depth = 0; w > XCB_INPUT_FOCUS_POINTER_ROOT && w != root_ && depth < 32; ++depth) {
        if (w == window) return true;
        w = parentOf(w);
    }
    return false;
}

// Asks the window manager to activate the window, as a pager would (source 2).
void X11WindowSystem::requestActivation(uint32_t window) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = atoms_->activeWindow;
    ev.data.data32[0] = 2;
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(conn_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(conn_);
}

// Raises the window and sets the focus on it. A window that is not viewable
// yet cannot take the focus: it is mapped now and a later request sets it.
void X11WindowSystem::activateDirectly(uint32_t window) {
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_map_window(conn_, window);
    xcb_configure_window(conn_, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(conn_);
    if (isViewable(window)) {
        xcb_set_input_focus(conn_, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        xcb_flush(conn_);
    }
}

void X11WindowSystem::requestFocus(WindowHandle handle, FocusWay way) {
    if (!exists(handle)) return;
    drainEvents();
    auto window = uint32_t(handle);
    if (way != FocusWay::Direct && hasWindowManager()) {
        // Mapping an iconic client is how it asks to be shown normally again.
        if (way == FocusWay::Restore && !isViewable(window)) xcb_map_window(conn_, window);
        requestActivation(window);
        return;
    }
    activateDirectly(window);
}

bool X11WindowSystem::hasFocus(WindowHandle handle) {
    return available() && handle != 0 && focusInside(uint32_t(handle));
}

WindowHandle X11WindowSystem::focusedWindow() {
    if (!available()) return 0;
    drainEvents();
    uint32_t w = inputFocus();
    uint32_t topLevel = 0;
    for (int depth = 0; w > XCB_INPUT_FOCUS_POINTER_ROOT && w != root_ && depth < 32; ++depth) {
        if (hasProperty(w, atoms_->wmState)) return w; // the client window itself
        topLevel = w;
        w = parentOf(w);
    }
    if (topLevel && hasWindowManager()) {
        // Focus on a frame: the active client is the one inside it.
        uint32_t active = firstCardinal(fetch(conn_, askProperty(conn_, root_,
                                         atoms_->activeWindow, XCB_ATOM_WINDOW, 1)));
        if (active) return active;
    }
    return topLevel;
}

WindowHandle X11WindowSystem::ownFocusedWindow() {
    WindowHandle w = focusedWindow();
    return w && processOf(w) == uint32_t(getpid()) ? w : 0;
}

} // namespace ql
