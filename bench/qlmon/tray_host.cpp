// A notification area of its own for the monitor program's benchmark: it owns
// the tray selection of screen 0, embeds every icon that asks to dock, and
// times the program it starts.
//   tray_host start RUNS PROGRAM [ARGS...]   ms from spawn until the icon is
//                                            embedded, one line per run
//   tray_host idle SECONDS PROGRAM [ARGS...] CPU used by the program over
//                                            SECONDS once its icon is embedded,
//                                            in percent of one core
#include <xcb/xcb.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return a;
}

struct Tray {
    xcb_connection_t* c = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t manager = 0;
    xcb_atom_t opcode = 0;

    bool start() {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c)) return false;
        screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        manager = xcb_generate_id(c);
        const uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, manager, screen->root, 0, 0, 400, 32, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c, manager);
        const xcb_atom_t selection = atom(c, "_NET_SYSTEM_TRAY_S0");
        opcode = atom(c, "_NET_SYSTEM_TRAY_OPCODE");
        xcb_set_selection_owner(c, manager, selection, XCB_CURRENT_TIME);
        // Tell clients already running that a tray is there.
        xcb_client_message_event_t note = {};
        note.response_type = XCB_CLIENT_MESSAGE;
        note.format = 32;
        note.window = screen->root;
        note.type = atom(c, "MANAGER");
        note.data.data32[0] = XCB_CURRENT_TIME;
        note.data.data32[1] = selection;
        note.data.data32[2] = manager;
        xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&note));
        xcb_flush(c);
        return true;
    }

    // Embeds a docking icon; true when the event was a dock request.
    bool handle(xcb_generic_event_t* event) {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
        auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        if (message->type != opcode || message->data.data32[1] != 0) return false;
        const xcb_window_t icon = message->data.data32[2];
        xcb_reparent_window(c, icon, manager, 0, 0);
        xcb_map_window(c, icon);
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip
        return true;
    }

    // Waits up to `ms` for a dock request; true when one came.
    bool waitForDock(int ms) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
                const bool docked = handle(event);
                free(event);
                if (docked) return true;
            }
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, 5);
        }
        return false;
    }
    void drain(int ms) { waitForDock(ms); }
};

pid_t spawn(char** argv) {
    pid_t pid = 0;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// User and system time of a process, in clock ticks.
long cpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    long utime = 0, stime = 0;
    std::sscanf(text.c_str() + close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld",
                &utime, &stime);
    return utime + stime;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tray_host start RUNS|idle SECONDS PROGRAM [ARGS...]\n");
        return 2;
    }
    Tray tray;
    if (!tray.start()) return 1;
    const std::string mode = argv[1];
    const int count = std::atoi(argv[2]);
    if (mode == "start") {
        for (int i = 0; i < count; ++i) {
            const auto begin = Clock::now();
            const pid_t pid = spawn(argv + 3);
            const bool docked = tray.waitForDock(20000);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            std::printf("%.1f\n", docked ? ms : -1.0);
            std::fflush(stdout);
            tray.drain(300); // let it settle before it is told to end
            stop(pid);
        }
        return 0;
    }
    const pid_t pid = spawn(argv + 3);
    if (!tray.waitForDock(20000)) {
        stop(pid);
        return 1;
    }
    tray.drain(2000);
    const long before = cpuTicks(pid);
    const auto begin = Clock::now();
    tray.drain(count * 1000);
    const long used = cpuTicks(pid) - before;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf("%.2f\n", 100.0 * double(used) / double(sysconf(_SC_CLK_TCK)) / seconds);
    stop(pid);
    return 0;
}
