#include "signin/views/MainProgram.h"
#include "entries/ListedUsers.h"
#include "entries/WatchedEntryHook.h"
#include "entries/views/BrowsePasswordsWindow.h"
#include "entries/views/RunUpdatePasswords.h"
#include "framework/Halt.h"
#include "health/views/PasswordHealthWindow.h"
#include "keys/KeystrokeSender.h"
#include "monitor/StoreWatchedEntries.h"
#include "platform/atspi/AtspiControlTexts.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/DesktopLauncher.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtPrompter.h"
#include "platform/desktop/DesktopBackends.h"
#include "signin/MonitorBridge.h"
#include "signin/SettingsKeys.h"
#include "signin/UserSelection.h"
#include "signin/views/AboutWindow.h"
#include "signin/views/TypingPermission.h"
#include "signin/views/ActivityWatcher.h"
#include "signin/views/BrowseUsersWindow.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include "signin/views/DataFolderPassphrase.h"
#include "signin/views/MainFrame.h"
#include "signin/views/OptionsDialog.h"
#include "signin/views/SelectUsersDialog.h"
#include "signin/views/UnlockWindow.h"
#include "signin/views/UpgradeProgressWindow.h"
#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "store/StartUpUnlock.h"
#include "store/WordList.h"
#include <cstdio>
#include <QApplication>
#include <QLabel>
#include <QPointer>

namespace ql {

namespace {

void reportMissingDataFolder(Prompter& prompter, const QStringList& arguments) {
    prompter.ask({QStringLiteral("File Access Error"),
                  QStringLiteral("File (") + dataParameter(arguments) +
                      QStringLiteral(") could not be opened.  Error: Path Not Found (3)."),
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    haltProcess(QStringLiteral("Disk Error"));
}

ProgramValues loadSettings(ProgramServices& services, ConfigurationSettings& settings) {
    services.opener().openDataFile(settings.table(), true, false, access_mode::SharedReadWrite, true);
    auto upgrade = [&services](double) {
        upgradeOldTables(services.managers(), services.prompter());
    };
    return loadMainStartUp(settings, oldSettingsFromIni(), upgrade);
}

std::array<QString, 3> quickUserNames(ProgramServices& services) {
    const std::vector<QString> names = firstUserNames(services.managers().users, 3);
    return {names[0], names[1], names[2]};
}

// The desktop as the monitor and the keystroke sender reach it: the session's
// backends, chosen once for the run.
struct Desktop {
    explicit Desktop(Clipboard& clipboard)
        : backends(openDesktop({std::make_shared<AtspiControlTexts>(), &clipboard,
                                {QGuiApplication::desktopFileName()}, &explainTypingPermission})) {}
    DesktopBackends backends;
    WindowSystem& windows = *backends.windows;
    Keyboard& keyboard = *backends.keyboard;
    DesktopLauncher launcher;
};

// Everything the frame's timer and windows share for one run.
struct MainRun {
    MainRun(ProgramServices& s, ConfigurationSettings& c, ProgramValues& v)
        : services(s), settings(c), values(v) {}

    ProgramServices& services;
    ConfigurationSettings& settings;
    ProgramValues& values;
    SystemClock clock;
    QtClipboard clipboard;
    Desktop desktop{clipboard};
    KeystrokeSender keys{desktop.keyboard, clock, desktop.windows,
                         SendPacing{values.groupDelay, values.groupSize}};
    DataTable passwords{passwordsTable()};
    StoreWatchedEntries entries{passwords, false};
    MonitorNotifications notifications;
    WindowMonitor monitor{{desktop.windows, keys, clock, services.prompter(), entries, &notifications},
                          MonitorPolicy::mainProgram()};
    MonitorBridge bridge{monitor, notifications};
    FrameTicker ticker{clock, clipboard, bridge, desktop.backends.clipboardClearing.get()};
    QPointer<BrowseUsersWindow> userSetup;
    ListedUsers listedUsers{monitor.lists(), notifications};

    EntryDesktop entryDesktop() {
        return {clock, clipboard, desktop.windows, desktop.launcher,
                watchedEntryHook(monitor.lists(), notifications)};
    }

    void applyValues() {
        ticker.setMonitoringOn(values.monitorActive != 0);
        ticker.setClipboardSeconds(values.clipboardSeconds);
        ticker.setInactivityMinutes(values.inactivityMinutes);
        keys.setPacing(SendPacing{values.groupDelay, values.groupSize});
    }
};

BrowseServices browseServices(MainRun& run) {
    ProgramServices& services = run.services;
    return {run.clock,
            services.prompter(),
            run.clipboard,
            run.desktop.launcher,
            services.managers().passwords,
            services.managers().users,
            &run.monitor,
            &run.listedUsers,
            [] { QApplication::beep(); },
            run.values.dateFormat,
            run.values.hideClipboard != 0};
}

// "Passwords" chooses the user through "Select User"; a quick-user button
// takes the user in that place of the Users table.
void openPasswordList(MainRun& run, MainFrame& frame, int quickUser) {
    BrowseWindowTools tools{
        run.services.positions(),
        [&run](int request, DataTable& passwords, Record& user, QWidget* parent) {
            return runUpdatePasswords(request, passwords, user, run.services, run.entryDesktop(),
                                      parent);
        },
        [&run](Record& user, QWidget* parent) { return runSelectUsers(run.services, user, parent); }};
    auto chooseFirst = [&run, quickUser](Record& user, QWidget* parent) {
        ProgramServices& services = run.services;
        if (quickUser == 0) return runSelectUsers(services, user, parent);
        return quickSelectUser(services.managers().users, quickUser, user,
                               passwordPrompt(services.positions(), ProgramKind::Main, parent),
                               services.prompter());
    };
    BrowsePasswordsWindow::open(browseServices(run), std::move(tools), chooseFirst, &frame);
}

// "Password Health" chooses its user as "Passwords" does; several may be open.
void openPasswordHealth(MainRun& run, MainFrame& frame) {
    Record user(usersTable());
    if (runSelectUsers(run.services, user, &frame) != 1) return;
    HealthWindowServices services{run.clock, run.services.managers().passwords, run.values.dateFormat,
                                  [&run](int request, DataTable& passwords, Record& who, QWidget* parent) {
                                      return runUpdatePasswords(request, passwords, who, run.services,
                                                                run.entryDesktop(), parent);
                                  }};
    auto* window = new PasswordHealthWindow(services, user, &frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlag(Qt::Window);
    if (!window->openTable()) {
        delete window;
        return;
    }
    window->show();
}

// One user list at a time; the quick-user buttons follow its changes.
void openUserSetup(MainRun& run, MainFrame& frame) {
    if (run.userSetup) {
        run.userSetup->raise();
        run.userSetup->activateWindow();
        return;
    }
    run.userSetup = openBrowseUsers(run.services, run.clock, run.values.dateFormat, &frame);
    if (!run.userSetup) return;
    auto refresh = [&run, &frame] { frame.setQuickUserNames(quickUserNames(run.services)); };
    refresh(); // opening the list may have added the default user
    QObject::connect(run.userSetup, &BrowseUsersWindow::usersChanged, &frame, refresh);
    // Open password lists follow their user's new name, and close with him.
    QObject::connect(run.userSetup, &BrowseUsersWindow::userChanged, &frame,
                     [&frame](const QString& was, const QString& now) {
                         for (BrowsePasswordsWindow* list : openPasswordLists(frame))
                             list->userChanged(was, now);
                     });
    QObject::connect(run.userSetup, &BrowseUsersWindow::userDeleted, &frame, [&frame](const QString& name) {
        for (BrowsePasswordsWindow* list : openPasswordLists(frame)) list->userDeleted(name);
    });
}

void connectFrame(MainRun& run, MainFrame& frame, const MainProgramParts& parts) {
    QObject::connect(&run.notifications, &MonitorNotifications::monitorReload, &frame,
                     [&run] { run.monitor.processWatchedUsers(); });
    QObject::connect(&run.notifications, &MonitorNotifications::monitorRunNow, &frame,
                     &MainFrame::monitorRunNow);
    QObject::connect(&run.notifications, &MonitorNotifications::minimizeFrame, &frame,
                     &MainFrame::minimizeFrame);
    QObject::connect(&frame, &MainFrame::optionsRequested, &frame, [&run, &frame] {
        OptionsDialog options(run.settings, run.values, run.services.prompter(),
                              run.services.positions(), &frame);
        bool closeToSwitch = false;
        options.addProtectButton([&run, &options, &closeToSwitch] {
            closeToSwitch = askDataFolderPassphrase(run.services.prompter(), &options,
                                                     run.services.folderLock());
            if (closeToSwitch) options.reject();
        });
        if (options.exec() == QDialog::Accepted) run.applyValues();
        if (closeToSwitch) frame.close();
    });
    frame.setReportsAvailable(bool(parts.report) && bool(parts.printSetup));
    if (parts.printSetup)
        QObject::connect(&frame, &MainFrame::printSetupRequested, &frame,
                         [&frame, &parts] { parts.printSetup(&frame); });
    if (parts.report)
        QObject::connect(&frame, &MainFrame::reportRequested, &frame, [&run, &frame, &parts](int report) {
            parts.report(run.services, run.values, report, &frame);
        });
    frame.setSynchronizeAvailable(bool(parts.synchronize));
    if (parts.synchronize)
        QObject::connect(&frame, &MainFrame::synchronizeRequested, &frame,
                         [&run, &frame, &parts] {
                             parts.synchronize(run.services,
                                               watchedEntryHook(run.monitor.lists(), run.notifications),
                                               &frame);
                         });
    QObject::connect(&frame, &MainFrame::passwordsRequested, &frame,
                     [&run, &frame](int quickUser) { openPasswordList(run, frame, quickUser); });
    frame.setPasswordListAvailable(true);
    QObject::connect(&frame, &MainFrame::userSetupRequested, &frame,
                     [&run, &frame] { openUserSetup(run, frame); });
    QObject::connect(&frame, &MainFrame::passwordHealthRequested, &frame,
                     [&run, &frame] { openPasswordHealth(run, frame); });
    QObject::connect(&frame, &MainFrame::aboutRequested, &frame, [&run, &frame, &parts] {
        QWidget* tips = parts.tipsPanel ? parts.tipsPanel(run.services) : nullptr;
        AboutWindow about(QStringLiteral("Quillock"), run.services.positions(), tips, &frame);
        about.setDesktopDescription(run.desktop.backends.keystrokes);
        about.exec();
    });
    frame.setExchangeAvailable(parts.importPasswords && parts.exportPasswords);
    if (parts.importPasswords && parts.exportPasswords) {
        QObject::connect(&frame, &MainFrame::importRequested, &frame,
                         [&run, &frame, &parts] { parts.importPasswords(run.services, &frame); });
        QObject::connect(&frame, &MainFrame::exportRequested, &frame,
                         [&run, &frame, &parts] { parts.exportPasswords(run.services, &frame); });
    }
}

int runMainProgramWindows(const QStringList& arguments, const MainProgramParts& parts, Prompter& prompter) {
    ProgramServices services(ProgramKind::Main, arguments, prompter, haltProcess);
    if (!services.dataFolderFound()) reportMissingDataFolder(prompter, arguments);
    ConfigurationSettings settings(prompter);
    ProgramValues values = loadSettings(services, settings);
    if (parts.commandLineSync)
        if (const std::optional<int> code = parts.commandLineSync(services, arguments)) return *code;
    fillMissingWords(services.managers().words, shippedWordListPath());
    if (parts.prepareTips) parts.prepareTips(services);

    MainRun run{services, settings, values};
    services.managers().passwords.open(run.passwords);
    run.applyValues();
    MainFrame frame(run.ticker, services.positions(), run.clock, run.clipboard);
    frame.setQuickUserNames(quickUserNames(services));
    frame.statusZone(1)->setText(run.desktop.backends.statusText());
    connectFrame(run, frame, parts);
    ActivityWatcher activity([&run] { run.ticker.userActivity(); });
    qApp->installEventFilter(&activity);
    // The end of the desktop session closes the program like "Exit".
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &frame, [&frame] {
        if (frame.isVisible()) frame.close();
    });
    frame.show();
    QApplication::exec();
    if (run.userSetup) run.userSetup->close(); // still open: it keeps its place and columns
    qApp->removeEventFilter(&activity);
    return 0;
}

// With no display, the passphrase has no window to come from.
void refusePassphraseWindow() {
    setPassphraseWindow([](bool) -> std::optional<QString> {
        std::fprintf(stderr, "%s\n", "The data folder is protected by a passphrase: give Passphrase=- and "
                                      "the passphrase as the first line of standard input.");
        return std::nullopt;
    });
}

} // namespace

int runMainProgram(const QStringList& arguments, const MainProgramParts& parts) {
    QtPrompter boxes;
    StandardErrorPrompter lines;
    Prompter& prompter = parts.withoutDisplay ? static_cast<Prompter&>(lines) : boxes;
    if (parts.withoutDisplay) refusePassphraseWindow();
    else installUnlockWindow();
    const int code = runMainProgramWindows(arguments, parts, prompter);
    return finishDataFolderSwitch(prompter, code); // every table is closed by now
}

} // namespace ql
