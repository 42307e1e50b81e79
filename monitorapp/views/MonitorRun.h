#pragma once
#include "keys/KeystrokeSender.h"
#include "monitor/StoreWatchedEntries.h"
#include "monitor/WindowMonitor.h"
#include "monitorapp/ClearingClipboard.h"
#include "monitorapp/MonitorCommands.h"
#include "monitorapp/MonitorController.h"
#include "monitorapp/MonitorListModel.h"
#include "entries/PasswordListModel.h"
#include "monitorapp/MonitorTicker.h"
#include "monitorapp/views/MonitorWindow.h"
#include "monitorapp/views/SystemTray.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/DesktopLauncher.h"
#include "platform/qt/QtClipboard.h"
#include "platform/desktop/DesktopBackends.h"
#include "signin/SettingsKeys.h"
#include "store/ConfigurationSettings.h"
#include "store/StartUp.h"
#include <QTimer>

namespace ql {

struct EntryDesktop;

// The desktop as the monitor and the keystroke sender reach it: the session's
// backends, chosen once for the run.
struct MonitorDesktop {
    explicit MonitorDesktop(Clipboard& clipboard);
    DesktopBackends backends;
    WindowSystem& windows = *backends.windows;
    Keyboard& keyboard = *backends.keyboard;
    DesktopLauncher launcher;
};

// The windows the monitor opens over its own, as real dialogs.
class MonitorProgramDialogs : public MonitorDialogs {
public:
    MonitorProgramDialogs(ProgramServices& services, SettingsAccess& settings,
                          ProgramValues& values, Record& user, QWidget& window)
        : services_(services), settings_(settings), values_(values), user_(user),
          window_(window) {}
    // After the options window was confirmed.
    std::function<void()> valuesChanged;
    // What types the keystrokes, for the About window.
    QString desktopDescription;

    MonitorUserChoice chooseUser() override;
    bool options() override;
    void about() override;

private:
    ProgramServices& services_;
    SettingsAccess& settings_;
    ProgramValues& values_;
    Record& user_;
    QWidget& window_;
};

// Everything one run of the monitor program shares: its window and tray, the
// window monitor with its own queue, and the user it works for.
struct MonitorRun {
    MonitorRun(ProgramServices& services, ConfigurationSettings& settings, ProgramValues& values);

    ProgramServices& services;
    ConfigurationSettings& settings;
    ProgramValues& values;
    SystemClock clock;
    QtClipboard desktopClipboard;
    // What the window copies, cleared after the clipboard-clear time and at exit.
    ClearingClipboard clipboard{desktopClipboard, clock};
    MonitorDesktop desktop{desktopClipboard};
    KeystrokeSender keys{desktop.keyboard, clock, desktop.windows};
    DataTable passwords;
    StoreWatchedEntries entries{passwords, true};
    PasswordListModel entryPages{passwords};
    MonitorListModel list{entryPages};
    WindowMonitor monitor;
    Record user;
    MonitorWindow window;
    SystemTray tray;
    TrayIcon trayIcon{tray, MonitorWindow::kTitle};
    TrayAnimation animation;
    MonitorProgramDialogs dialogs;
    MonitorController controller;
    MonitorTicker ticker;
    MonitorCommands commands;
    QTimer timer;

    // The list shows the entries of the user the window shows.
    void connectList();
    void applyValues();
    EntryDesktop entryDesktop();
    // The highlighted entry loaded into the Passwords buffer; false when none is.
    bool loadHighlighted();
    // "&Add" and "&Edit": the smaller entry form on the selected user's entries.
    void editEntry(int request);
    // The tray menu of the current state at `where`, and what was chosen in it.
    void popUpMenu(const QPoint& where);
};

} // namespace ql
