#include "monitorapp/MonitorController.h"
#include "monitor/WindowMonitor.h"
#include "signin/SettingsKeys.h"
#include "signin/UserSelection.h"

namespace ql {

MonitorController::MonitorController(const Parts& parts) : parts_(parts), userName_(kNoUserSelected) {}

bool MonitorController::userSelected() const {
    const QString name = withoutTrailingBlanks(userName_);
    return !name.isEmpty() && name != kNoUserSelected;
}

void MonitorController::startUp(const QString& startUser) {
    userName_ = startUser;
    parts_.window.showUserEntries(userName_);
    if (parts_.values.askAtStart && !parts_.values.askOnRestore) chooseUser();
    loadWatched();
    minimize();
}

void MonitorController::loadWatched() { parts_.monitor.reloadWatchedEntries(userName_); }

// The icon starts as the plain picture of the current setting.
bool MonitorController::addTrayIcon() {
    return parts_.tray.add(parts_.values.askOnRestore ? TrayAnimation::kRedIcon
                                                      : TrayAnimation::kPlainIcon);
}

void MonitorController::showWindow() {
    applyStayOnTop();
    parts_.window.showRestored();
    state_ = MonitorWindowState::Shown;
}

void MonitorController::minimize() {
    if (addTrayIcon()) {
        parts_.window.hideInTray();
        state_ = MonitorWindowState::InTray;
    } else if (state_ == MonitorWindowState::InTray) {
        showWindow(); // hidden without a tray icon, nobody could reach it
        tellNoTrayOnce();
    } else {
        parts_.window.minimizeOnTaskBar();
        tellNoTrayOnce();
    }
}

void MonitorController::tellNoTrayOnce() {
    if (toldNoTray_) return;
    toldNoTray_ = true;
    parts_.window.tellNoTray(kNoTrayText);
}

void MonitorController::restore() {
    if (!userSelected() || parts_.values.askOnRestore) chooseUser();
    if (userSelected()) {
        parts_.tray.remove();
        showWindow();
    } else if (!addTrayIcon()) {
        showWindow();
    } else {
        parts_.window.hideInTray();
        state_ = MonitorWindowState::InTray;
    }
    applyStayOnTop();
}

void MonitorController::chooseUser() {
    const MonitorUserChoice choice = parts_.dialogs.chooseUser();
    userName_ = choice.chosen ? choice.userName : kNoUserSelected;
    loadWatched();
    parts_.window.showUserEntries(userName_);
    if (choice.chosen)
        parts_.window.takeFocus();
    else
        minimize();
}

void MonitorController::options() {
    parts_.dialogs.options();
    loadWatched();
    applyStayOnTop();
}

void MonitorController::refresh() {
    loadWatched();
    parts_.window.showUserEntries(userName_);
}

std::vector<TrayMenuItem> MonitorController::menu() const {
    return trayMenu(state_, parts_.monitor.monitoringOn(), parts_.values.askOnRestore != 0);
}

void MonitorController::runCommand(TrayCommand command) {
    switch (command) {
    case TrayCommand::TurnMonitorOff:
    case TrayCommand::TurnMonitorOn:
        // Only the switch: rows queued meanwhile, send requests included, wait for it.
        parts_.monitor.lists().setMonitoringOn(command == TrayCommand::TurnMonitorOn);
        break;
    case TrayCommand::Refresh: refresh(); break;
    case TrayCommand::Restore: restore(); break;
    case TrayCommand::Preferences: options(); break;
    case TrayCommand::About: parts_.dialogs.about(); break;
    case TrayCommand::Exit: parts_.window.closeWindow(); return;
    case TrayCommand::Separator: break;
    }
    applyStayOnTop();
}

bool MonitorController::trayClicked(TrayClick click) {
    if (click == TrayClick::LeftDoubleClick) restore();
    return click == TrayClick::RightUp;
}

void MonitorController::trayLost() {
    if (parts_.tray.lost() && state_ == MonitorWindowState::InTray) restore();
}

void MonitorController::closing() {
    closed_ = true;
    parts_.tray.remove();
}

void MonitorController::applyStayOnTop() {
    if (!closed_ && parts_.values.stayOnTop && !parts_.tray.present()) parts_.window.makeStayOnTop();
}

} // namespace ql
