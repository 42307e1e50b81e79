// Prints: monitor.list_200_us, monitor.find_200_us, monitor.find_200_cpu_us,
// monitor.idle_cpu_pct.
// Runs inside a private X session (bench/monitor/run.sh) with 200 windows of
// another connection on the desktop, none of which fits any pattern.
#include "keys/KeySender.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/Prompter.h"
#include "platform/core/SystemClock.h"
#include "platform/x11windows/X11WindowSystem.h"
#include "tests/monitor/support/TestWindows.h"
#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace ql;
using Steady = std::chrono::steady_clock;

namespace {

class SilentKeys : public KeySender {
public:
    SendOutcome sendGrouped(const QString&) override { return SendOutcome::Completed; }
    SendOutcome sendDirect(WindowHandle, const QString&, int) override {
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

template <typename F>
double medianMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = Steady::now();
        f();
        times.push_back(std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double idleCpuPercent(X11WindowSystem& ws, double seconds) {
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
    X11WindowSystem ws;
    if (!made.ok() || !ws.available()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<uint32_t> windows;
    for (int i = 0; i < 200; ++i) windows.push_back(made.create("Bench Window " + std::to_string(i)));
    made.waitMapped(windows.back());
    for (int i = 0; i < 100 && ws.topWindows().size() < 200; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (ws.topWindows().size() < 200) std::fprintf(stderr, "fewer than 200 windows listed\n");

    WindowFinder finder(ws);
    std::printf("monitor.list_200_us %.0f us\n", medianMicros(301, [&] { finder.listTopWindows(); }));
    std::printf("monitor.find_200_us %.0f us\n",
                medianMicros(301, [&] { finder.findTargetWindow("Absent Program*", "User name"); }));
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
