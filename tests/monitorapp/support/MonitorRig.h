#pragma once
#include "monitor/WindowMonitor.h"
#include "monitorapp/MonitorCommands.h"
#include "monitorapp/MonitorController.h"
#include "monitorapp/MonitorTicker.h"
#include "platform/core/Clipboard.h"
#include "platform/core/Launcher.h"
#include "platform/core/SystemClock.h"
#include "signin/SettingsKeys.h"
#include "tests/monitor/support/MonitorFakes.h"
#include "tests/monitorapp/support/MonitorAppFakes.h"

namespace ql::testing {

inline constexpr int32_t kSecond = 100;

// The monitor program's logic over a fake desktop, tray, window and dialogs,
// wired as the program wires it.
struct MonitorRig {
    FakeWindowSystem desktop;
    RecordingKeySender keys{&desktop};
    FakeClock clock;
    ScriptedPrompter prompter;
    FakeWatchedEntries entries;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    MemorySettings settings;
    ProgramValues values;
    WindowMonitor monitor;
    FakeMonitorWindow window;
    FakeMonitorDialogs dialogs;
    FakeTrayHost host;
    TrayIcon tray{host, QStringLiteral("Quillock Monitor")};
    TrayAnimation animation;
    MonitorController controller{{window, dialogs, tray, monitor, values}};
    MonitorTicker ticker{{controller, window, tray, animation, monitor, settings, values}};
    int beeps = 0;
    MonitorCommands commands{{launcher, prompter, clipboard, monitor, [this] { ++beeps; },
                              [this] { controller.minimize(); }}};

    MonitorRig() : monitor({desktop, keys, clock, prompter, entries, nullptr}, policy()) {
        clock.set(10 * 3600 * kSecond);
        clock.stepPerPass = 0;
        monitor.lists().setMonitoringOn(true);
        dialogs.log = &window.log;
    }
    static MonitorPolicy policy() {
        MonitorPolicy p = MonitorPolicy::monitorProgram();
        p.settlePollMilliseconds = 0;
        return p;
    }

    void ticks(int count) {
        for (int i = 0; i < count; ++i) ticker.tick();
    }
    size_t queued() { return monitor.lists().queueSize(); }
    void menu(TrayCommand command) {
        controller.runCommand(command);
        controller.menuClosed();
    }
};

inline WatchedEntry watchedEntry(const QString& user, const QString& pattern, int wait = 0) {
    WatchedEntry e;
    e.titlePattern = pattern;
    e.sendText = QStringLiteral("jdoe");
    e.secondsToWait = wait;
    e.user = user;
    return e;
}

} // namespace ql::testing
