#include "monitorapp/TrayMenus.h"

namespace ql {

namespace {

TrayMenuItem item(const char* text, TrayCommand command) {
    return {QString::fromLatin1(text), command};
}
TrayMenuItem separator() { return {}; }
TrayMenuItem switchItem(bool monitoringOn) {
    return monitoringOn ? item("&Turn Monitor Off", TrayCommand::TurnMonitorOff)
                        : item("&Turn Monitor On", TrayCommand::TurnMonitorOn);
}

} // namespace

std::vector<TrayMenuItem> trayMenu(MonitorWindowState state, bool monitoringOn, bool askOnRestore) {
    if (state == MonitorWindowState::Shown)
        return {switchItem(monitoringOn), item("&Refresh", TrayCommand::Refresh), separator(),
                item("&About", TrayCommand::About), item("&Exit", TrayCommand::Exit)};
    // Whoever restores the window must choose a user first: nothing else is offered.
    if (askOnRestore)
        return {item("Restore", TrayCommand::Restore), separator(),
                item("&About", TrayCommand::About), item("&Exit", TrayCommand::Exit)};
    return {switchItem(monitoringOn),
            item("&Refresh", TrayCommand::Refresh),
            separator(),
            item("Restore", TrayCommand::Restore),
            separator(),
            item("&Preferences", TrayCommand::Preferences),
            item("&About", TrayCommand::About),
            item("&Exit Quillock Monitor", TrayCommand::Exit)};
}

} // namespace ql
