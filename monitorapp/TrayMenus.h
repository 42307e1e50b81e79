#pragma once
#include <QString>
#include <vector>

namespace ql {

// What an item of the tray menu does.
enum class TrayCommand {
    Separator,
    TurnMonitorOff,
    TurnMonitorOn,
    Refresh,
    Restore,
    Preferences,
    About,
    Exit,
};

struct TrayMenuItem {
    QString text; // with its "&" mnemonic; empty for a separator
    TrayCommand command = TrayCommand::Separator;
};

// Where the monitor window is: on the screen, or minimized into the tray.
enum class MonitorWindowState { Shown, InTray };

// The tray menu for the window's state, the monitoring switch and the
// "select user every time the monitor is restored" setting, items in order.
std::vector<TrayMenuItem> trayMenu(MonitorWindowState state, bool monitoringOn, bool askOnRestore);

} // namespace ql
