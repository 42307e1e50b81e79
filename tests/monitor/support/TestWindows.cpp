#include "tests/monitor/support/TestWindows.h"
#include <xcb/xcb.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace ql::testing {

namespace {
uint32_t intern(xcb_connection_t* c, const char* name) {
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name),
                                    nullptr);
    uint32_t atom = r ? r->atom : 0;
    std::free(r);
    return atom;
}
} // namespace

TestWindows::TestWindows() {
    conn_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn_)) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    netWmName_ = intern(conn_, "_NET_WM_NAME");
    utf8_ = intern(conn_, "UTF8_STRING");
    wmPid_ = intern(conn_, "_NET_WM_PID");
}

TestWindows::~TestWindows() {
    if (conn_) xcb_disconnect(conn_);
}

bool TestWindows::ok() const { return conn_ && !xcb_connection_has_error(conn_) && root_; }

void TestWindows::setText(uint32_t window, uint32_t property, uint32_t type,
                          const std::string& text) {
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        uint32_t(text.size()), text.data());
}

uint32_t TestWindows::create(const std::string& title, const Options& o) {
    uint32_t w = xcb_generate_id(conn_);
    uint32_t values[] = {o.overrideRedirect ? 1u : 0u};
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, w, o.parent ? o.parent : root_, 10, 10,
                      200, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT, values);
    if (!title.empty()) {
        if (o.netName) setText(w, netWmName_, utf8_, title);
        else setText(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    }
    if (o.withClass) putClass(w);
    if (o.pid) {
        xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, w, wmPid_, XCB_ATOM_CARDINAL, 32, 1,
                            &o.pid);
    }
    if (o.map) xcb_map_window(conn_, w);
    xcb_flush(conn_);
    return w;
}

void TestWindows::putClass(uint32_t window) {
    static const char cls[] = "qltest\0QlTest";
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                        8, sizeof cls, cls);
}

void TestWindows::setClass(uint32_t window, bool present) {
    if (present) putClass(window);
    else xcb_delete_property(conn_, window, XCB_ATOM_WM_CLASS);
    sync();
}

void TestWindows::destroy(uint32_t window) {
    xcb_destroy_window(conn_, window);
    sync();
}

void TestWindows::unmap(uint32_t window) {
    xcb_unmap_window(conn_, window);
    sync();
}

bool TestWindows::viewable(uint32_t window) {
    auto* a = xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, window),
                                              nullptr);
    bool result = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
    return result;
}

bool TestWindows::waitMapped(uint32_t window) {
    for (int i = 0; i < 400; ++i) {
        if (viewable(window)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void TestWindows::iconify(uint32_t window) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = intern(conn_, "WM_CHANGE_STATE");
    ev.data.data32[0] = 3; // IconicState
    xcb_send_event(conn_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    sync();
}

void TestWindows::sync() {
    std::free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
}

} // namespace ql::testing
