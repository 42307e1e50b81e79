// Prints: monitor.wayland_roundtrip_us, monitor.wayland_find_50_us,
// monitor.wayland_find_ratio (with the argument "monitor.kwin", on KWin:
// monitor.kwin_roundtrip_us, ...).
// Runs inside a private headless compositor (bench/monitor/run.sh) with 50 windows
// of another program on it (bench_window_crowd). Finding the last of them by
// its title is measured against one protocol round trip on the same
// connection, in interleaved rounds; the ratio is the median of the rounds'
// ratios, so the load of other programs on a shared machine falls on both.
#include "monitor/WindowFinder.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wayland/WaylandConnection.h"
#include <QDir>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace ql;
using Steady = std::chrono::steady_clock;

namespace {

constexpr int kWindows = 50;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F>
double medianMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Steady::now();
        f();
        times.push_back(std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    return median(std::move(times));
}

size_t benchWindows(WindowSystem& ws) {
    const std::vector<TopWindow> all = ws.topWindows();
    return size_t(std::count_if(all.begin(), all.end(), [](const TopWindow& w) {
        return w.title.startsWith(QLatin1String("Bench Window "));
    }));
}

} // namespace

int main(int argc, char** argv) {
    const char* prefix = argc > 1 ? argv[1] : "monitor.wayland";
    DesktopBackends desktop = openDesktop({});
    if (!desktop.wayland || !desktop.windows->available()) {
        std::fprintf(stderr, "no Wayland compositor with a window list (%s)\n",
                     qPrintable(desktop.statusText()));
        return 1;
    }
    QProcess crowd;
    crowd.setProcessChannelMode(QProcess::ForwardedChannels);
    crowd.start(QDir(qEnvironmentVariable("QL_SESSION_BIN")).filePath("bench_window_crowd"),
                {QString::number(kWindows)});
    WindowSystem& ws = *desktop.windows;
    const auto deadline = Steady::now() + std::chrono::seconds(60);
    while (benchWindows(ws) < kWindows && Steady::now() < deadline) desktop.wayland->dispatchPending(100);
    if (benchWindows(ws) < kWindows) {
        std::fprintf(stderr, "the %d windows did not appear\n", kWindows);
        return 1;
    }

    WindowFinder finder(ws);
    const QString last = QStringLiteral("Bench Window %1").arg(kWindows - 1);
    constexpr int rounds = 31, runs = 11;
    std::vector<double> trips, finds, ratios;
    for (int round = 0; round < rounds; ++round) {
        trips.push_back(medianMicros(runs, [&] { desktop.wayland->roundTrip(); }));
        finds.push_back(medianMicros(runs, [&] {
            if (!finder.findTargetWindow(last, QString())) std::fprintf(stderr, "not found\n");
        }));
        ratios.push_back(finds.back() / trips.back());
    }
    std::printf("%s_roundtrip_us %.1f us\n", prefix, median(trips));
    std::printf("%s_find_50_us %.1f us\n", prefix, median(finds));
    std::printf("%s_find_ratio %.2f ratio\n", prefix, median(ratios));
    crowd.terminate();
    crowd.waitForFinished(5000);
    return 0;
}
