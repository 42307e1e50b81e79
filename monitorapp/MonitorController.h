#pragma once
#include "monitorapp/MonitorSurfaces.h"
#include "monitorapp/TrayAnimation.h"
#include "monitorapp/TrayIcon.h"
#include "monitorapp/TrayMenus.h"
#include <vector>

namespace ql {

class WindowMonitor;
struct ProgramValues;

// Mouse events on the tray icon.
enum class TrayClick { LeftUp, LeftDoubleClick, RightUp, RightDoubleClick };

// The monitor window's states and their changes: shown on the screen without
// a tray icon, or minimized and hidden with its icon in the tray. Also the
// user the monitor works for, whose watched entries fill the monitor queue,
// the tray menus, and the stay-on-top rule.
//
// Where no notification area takes the icon, the window is never hidden (the
// user could not get it back): it stays shown, and a minimize leaves an
// ordinary minimized window. Every later minimize or restore tries the tray again.
class MonitorController {
public:
    struct Parts {
        MonitorWindowSurface& window;
        MonitorDialogs& dialogs;
        TrayIcon& tray;
        WindowMonitor& monitor;
        ProgramValues& values;
    };
    explicit MonitorController(const Parts& parts);

    // The opening of the window: `startUser` is the lone user who needs no
    // password, or "No User Selected"; the user is asked for now when that is
    // wanted at start and not on every restore; then the user's watched
    // entries are loaded and the window goes to the tray.
    void startUp(const QString& startUser);

    MonitorWindowState state() const { return state_; }
    const QString& userName() const { return userName_; }
    bool userSelected() const;

    // The window's minimize command, a Send, a cancelled user choice.
    void minimize();
    // Double click on the tray icon, "Restore" in the tray menu.
    void restore();
    // "Select &User": the choice, then the user's watched entries; a chosen
    // user gets the window's focus, a cancelled choice sends it to the tray.
    void chooseUser();
    // "&Options", "&Preferences": the options window, then the watched
    // entries again and the stay-on-top rule.
    void options();
    // "&Refresh": the user's watched entries (and list) read again.
    void refresh();

    // The menu for the current state, for the tray icon and for "&Tools".
    std::vector<TrayMenuItem> menu() const;
    void runCommand(TrayCommand command);
    // After any menu closed, whether an item was chosen or not.
    void menuClosed() { applyStayOnTop(); }
    // True when the click asks for the tray menu.
    bool trayClicked(TrayClick click);

    // The notification area went away under the icon: the window comes back.
    void trayLost();
    // The window is closing: the tray icon goes.
    void closing();

    void applyStayOnTop();

private:
    void tellNoTrayOnce();
    void showWindow();
    void loadWatched();
    bool addTrayIcon();

    Parts parts_;
    bool closed_ = false;
    MonitorWindowState state_ = MonitorWindowState::InTray; // not yet on the screen
    bool toldNoTray_ = false;
    QString userName_;
};

} // namespace ql
