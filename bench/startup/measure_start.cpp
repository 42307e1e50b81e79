// Measures the time from starting a program to its window named TITLE being
// mapped on the X display, by watching the root window's map notifications
// (run it without a window manager, so top-level windows are root children).
// Each run then closes the window as a user would and waits for the program to
// end, so that the next start finds the files as a finished run leaves them.
// Usage: measure_start RUNS TITLE PROGRAM [ARGS...]   prints one time per run, in ms
#include <xcb/xcb.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <thread>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string windowName(xcb_connection_t* c, xcb_window_t w) {
    auto cookie = xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::string name;
    if (reply) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    xcb_get_property_value_length(reply));
        free(reply);
    }
    return name;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return a;
}

// Asks the window to close (WM_DELETE_WINDOW) and waits up to 10 s for the
// program to end; one that is still there then is killed.
void closeAndWait(xcb_connection_t* c, xcb_window_t window, pid_t pid) {
    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = atom(c, "WM_PROTOCOLS");
    close.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    close.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
    xcb_flush(c);
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::fprintf(stderr, "measure_start: the program did not end when its window was closed\n");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

double runOnce(xcb_connection_t* c, const std::string& title, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return -1;
    double ms = -1;
    xcb_window_t window = XCB_WINDOW_NONE;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const int type = event->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (windowName(c, map->window) == title) {
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                         .count();
                window = map->window;
                free(event);
                break;
            }
        }
        free(event);
    }
    if (window != XCB_WINDOW_NONE) {
        closeAndWait(c, window, pid);
    } else {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: measure_start RUNS TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    for (int i = 0; i < runs; ++i) std::printf("%.1f\n", runOnce(c, argv[2], argv + 3));
    xcb_disconnect(c);
    return 0;
}
