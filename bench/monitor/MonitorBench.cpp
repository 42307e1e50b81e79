// Prints: monitor.xcb_floor_us, monitor.list_200_us, monitor.find_200_us,
// monitor.find_ratio, monitor.find_200_cpu_us, monitor.idle_cpu_pct.
// Runs inside a private X session (bench/monitor/run.sh) with 200 windows of
// another connection on the desktop, none of which fits any pattern.
// The floor is the least an XCB client can do to read the same titles: the
// stacking list in one round trip, then every title request sent before the
// first reply is read. It is measured in rounds interleaved with the finder's,
// and the ratio is the median of the rounds' ratios, so that the load of other
// programs on a shared machine falls on both sides alike.
#include "keys/KeySender.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/Prompter.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "tests/monitor/support/TestWindows.h"
#include <sys/resource.h>
#include <xcb/xcb.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace ql;
using Steady = std::chrono::steady_clock;

namespace {

class SilentKeys : public KeySender {
public:
    SendResult sendGrouped(const QString&, WindowHandle) override { return SendOutcome::Completed; }
    SendResult sendDirect(WindowHandle, const QString&, int) override {
        return SendOutcome::Completed;
    }
};

class FixedEntries : public WatchedEntrySource {
public:
    std::vector<WatchedEntry> monitoredEntries(const QString& user) override {
        std::vector<WatchedEntry> out;
        for (int i = 0; i < 50; ++i) {
            WatchedEntry e;
            e.titlePattern = QString("Absent Program %1*").arg(i);
            e.contents = "User name";
            e.sendText = "[Name][Tab][Password][Enter]";
            e.user = user;
            out.push_back(e);
        }
        return out;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F>
double medianMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = Steady::now();
        f();
        times.push_back(std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    return median(std::move(times));
}

uint32_t internAtom(xcb_connection_t* c, const char* name) {
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name),
                                    nullptr);
    uint32_t atom = r ? r->atom : 0;
    std::free(r);
    return atom;
}

// The least an XCB client does to read the titles of the managed windows.
class XcbFloor {
public:
    XcbFloor() : conn_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(conn_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        stacking_ = internAtom(conn_, "_NET_CLIENT_LIST_STACKING");
        netWmName_ = internAtom(conn_, "_NET_WM_NAME");
        utf8_ = internAtom(conn_, "UTF8_STRING");
    }
    ~XcbFloor() { xcb_disconnect(conn_); }
    XcbFloor(const XcbFloor&) = delete;
    XcbFloor& operator=(const XcbFloor&) = delete;

    // Number of windows with a title.
    size_t listTitles() {
        auto* list = xcb_get_property_reply(
            conn_, xcb_get_property(conn_, 0, root_, stacking_, XCB_ATOM_WINDOW, 0, 65536),
            nullptr);
        std::vector<uint32_t> windows;
        if (list && list->format == 32) {
            auto* data = static_cast<uint32_t*>(xcb_get_property_value(list));
            windows.assign(data, data + xcb_get_property_value_length(list) / 4);
        }
        std::free(list);
        std::vector<xcb_get_property_cookie_t> cookies;
        cookies.reserve(windows.size());
        for (uint32_t w : windows)
            cookies.push_back(xcb_get_property(conn_, 0, w, netWmName_, utf8_, 0, 256));
        size_t titled = 0;
        for (auto cookie : cookies) {
            auto* r = xcb_get_property_reply(conn_, cookie, nullptr);
            if (r && xcb_get_property_value_length(r) > 0) ++titled;
            std::free(r);
        }
        return titled;
    }

private:
    xcb_connection_t* conn_;
    uint32_t root_ = 0, stacking_ = 0, netWmName_ = 0, utf8_ = 0;
};

struct ListingFigures {
    double floorUs, listUs, findUs, findRatio;
};

// Rounds of floor, listing and search in turn; each figure is the median over
// the rounds of a round's median.
ListingFigures measureListing(WindowFinder& finder, XcbFloor& floor) {
    constexpr int rounds = 31, runs = 11;
    std::vector<double> floors, lists, finds, ratios;
    for (int round = 0; round < rounds; ++round) {
        floors.push_back(medianMicros(runs, [&] { floor.listTitles(); }));
        lists.push_back(medianMicros(runs, [&] { finder.listTopWindows(); }));
        finds.push_back(medianMicros(
            runs, [&] { finder.findTargetWindow("Absent Program*", "User name"); }));
        ratios.push_back(finds.back() / floors.back());
    }
    return {median(floors), median(lists), median(finds), median(ratios)};
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double idleCpuPercent(WindowSystem& ws, double seconds) {
    SilentKeys keys;
    SystemClock clock;
    ScriptedPrompter prompter;
    FixedEntries entries;
    WindowMonitor monitor({ws, keys, clock, prompter, entries}, MonitorPolicy::mainProgram());
    monitor.switchMonitoring(true);
    monitor.watchUser("bench", WatchAction::Load);
    monitor.processWatchedUsers();

    const auto tick = std::chrono::milliseconds(200);
    auto next = Steady::now();
    auto end = next + std::chrono::duration<double>(seconds);
    double cpuStart = cpuSeconds();
    auto wallStart = Steady::now();
    while (Steady::now() < end) {
        monitor.runMonitorCycle(false);
        next += tick;
        std::this_thread::sleep_until(next);
    }
    double wall = std::chrono::duration<double>(Steady::now() - wallStart).count();
    if (monitor.lists().queueSize() != 50) std::fprintf(stderr, "rows were sent\n");
    return 100.0 * (cpuSeconds() - cpuStart) / wall;
}

} // namespace

int main() {
    ql::testing::TestWindows made;
    DesktopBackends desktop = openDesktop({});
    WindowSystem& ws = *desktop.windows;
    if (!made.ok() || !ws.available() || desktop.name != QLatin1String("X11")) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<uint32_t> windows;
    for (int i = 0; i < 200; ++i) windows.push_back(made.create("Bench Window " + std::to_string(i)));
    made.waitMapped(windows.back());
    // Until the window manager has taken every window in hand (on a busy
    // machine that takes seconds), some are still unmanaged root children.
    XcbFloor floor;
    for (int i = 0; i < 600 && floor.listTitles() < 200; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (floor.listTitles() < 200 || ws.topWindows().size() < 200) {
        std::fprintf(stderr, "the window manager did not take in the 200 windows\n");
        return 1;
    }

    WindowFinder finder(ws);
    const ListingFigures f = measureListing(finder, floor);
    std::printf("monitor.xcb_floor_us %.0f us\n", f.floorUs);
    std::printf("monitor.list_200_us %.0f us\n", f.listUs);
    std::printf("monitor.find_200_us %.0f us\n", f.findUs);
    std::printf("monitor.find_ratio %.2f ratio\n", f.findRatio);
    // The process's own CPU per search, which the load of other programs on
    // the machine disturbs less than the wall-clock median.
    double cpuBefore = cpuSeconds();
    for (int i = 0; i < 300; ++i) finder.findTargetWindow("Absent Program*", "User name");
    std::printf("monitor.find_200_cpu_us %.0f us\n", (cpuSeconds() - cpuBefore) * 1e6 / 300);
    std::fflush(stdout);

    const char* env = std::getenv("QL_BENCH_IDLE_SECONDS");
    double seconds = env ? std::atof(env) : 60.0;
    std::printf("monitor.idle_cpu_pct %.2f %%\n", idleCpuPercent(ws, seconds));
    return 0;
}
