// Cost of one tick of the main frame's timer: empty monitor queue, clipboard
// clearing on, the real frame window updating its status bar.
#include "framework/IniStore.h"
#include "keys/KeySender.h"
#include "monitor/MonitorNotifications.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/FakeWindowSystem.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtClipboard.h"
#include "signin/MonitorBridge.h"
#include "signin/views/MainFrame.h"
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace ql;

namespace {

struct NoKeys : KeySender {
    SendResult sendGrouped(const QString&, WindowHandle) override { return SendOutcome::Completed; }
    SendResult sendDirect(WindowHandle, const QString&, int) override { return SendOutcome::Completed; }
};
struct NoEntries : WatchedEntrySource {
    std::vector<WatchedEntry> monitoredEntries(const QString&) override { return {}; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    IniStore positions;
    positions.openStore(folder.filePath(QStringLiteral("POSITION.INI")));
    SystemClock clock;
    QtClipboard clipboard;
    FakeWindowSystem windows;
    NoKeys keys;
    NoEntries entries;
    ScriptedPrompter prompter;
    MonitorNotifications notifications;
    WindowMonitor monitor({windows, keys, clock, prompter, entries, &notifications},
                          MonitorPolicy::mainProgram());
    MonitorBridge bridge(monitor, notifications);
    FrameTicker ticker(clock, clipboard, bridge);
    ticker.setMonitoringOn(true);
    ticker.setClipboardSeconds(30);
    MainFrame frame(ticker, positions, clock, clipboard);
    frame.show();
    clipboard.setText(QStringLiteral("copied text"));
    QApplication::processEvents();

    std::vector<double> costs;
    for (int i = 0; i < 2000; ++i) {
        const auto start = std::chrono::steady_clock::now();
        frame.runTick();
        costs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                            .count());
        if (i % 50 == 0) QApplication::processEvents();
    }
    std::nth_element(costs.begin(), costs.begin() + costs.size() / 2, costs.end());
    std::printf("frame.tick_us %.1f us\n", costs[costs.size() / 2]);
    return 0;
}
