#pragma once
#include <QString>

namespace ql {

// Said once per run when no notification area takes the icon.
inline const QString kNoTrayText = QStringLiteral(
    "No notification area takes Quillock's icon on this desktop (GNOME shows one only with an "
    "extension for tray icons), so this window stays shown instead of hiding in the tray; minimizing "
    "it puts it on the task bar.");

// The notification area as the monitor uses it.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    // Puts the icon into the notification area; false when none took it.
    virtual bool addIcon(const QString& picture, const QString& tip) = 0;
    // Takes the icon out; false when it could not be removed.
    virtual bool removeIcon() = 0;
    virtual void changeIcon(const QString& picture) = 0;
    // Whether a notification area is there right now.
    virtual bool available() const = 0;
};

// What the monitor's logic asks of its window.
class MonitorWindowSurface {
public:
    virtual ~MonitorWindowSurface() = default;
    // Minimized and hidden: no task-bar entry, only the tray icon left.
    virtual void hideInTray() = 0;
    // An ordinary minimized window, for a desktop without a notification area.
    virtual void minimizeOnTaskBar() = 0;
    // Visible and restored, brought to the top with the keyboard focus.
    virtual void showRestored() = 0;
    virtual void takeFocus() = 0;
    // Tells the user why the window stays shown (no notification area).
    virtual void tellNoTray(const QString& why) = 0;
    // Keeps the window above others; nothing takes this back while the program runs.
    virtual void makeStayOnTop() = 0;
    virtual void setWindowIcon(const QString& picture) = 0;
    // The list follows the selected user (also after a refresh).
    virtual void showUserEntries(const QString& userName) = 0;
    // Closes the window, which ends the program.
    virtual void closeWindow() = 0;
};

// The user's choice of who the monitor works for.
struct MonitorUserChoice {
    bool chosen = false;
    QString userName; // "No User Selected" when the choice was cancelled
};

// The windows the monitor opens over its own.
class MonitorDialogs {
public:
    virtual ~MonitorDialogs() = default;
    // "Select User" (and the password prompt when the user has one).
    virtual MonitorUserChoice chooseUser() = 0;
    // The options window; true when confirmed.
    virtual bool options() = 0;
    virtual void about() = 0;
};

} // namespace ql
