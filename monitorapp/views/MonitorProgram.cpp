#include "monitorapp/views/MonitorProgram.h"
#include "entries/EntryForm.h"
#include "framework/Halt.h"
#include "monitorapp/MonitorStartUp.h"
#include "monitorapp/views/MonitorRun.h"
#include "monitorapp/views/SessionEnd.h"
#include "platform/qt/QtPrompter.h"
#include "signin/UserSelection.h"
#include <QApplication>
#include <QPushButton>
#include <QSessionManager>

namespace ql {

namespace {

void connectWindow(MonitorRun& run) {
    MonitorWindow& w = run.window;
    MonitorController& c = run.controller;
    QObject::connect(&w, &MonitorWindow::selectUserClicked, &w, [&c] { c.chooseUser(); });
    QObject::connect(&w, &MonitorWindow::toolsClicked, &w, [&run, &w] {
        QPushButton* tools = w.button(QStringLiteral("&Tools"));
        run.popUpMenu(tools->mapToGlobal(QPoint(0, tools->height())));
    });
    QObject::connect(&w, &MonitorWindow::startUrlClicked, &w, [&run] {
        if (run.loadHighlighted()) run.commands.startUrl(run.passwords.record());
    });
    QObject::connect(&w, &MonitorWindow::addClicked, &w,
                     [&run] { run.editEntry(form_request::Insert); });
    QObject::connect(&w, &MonitorWindow::editClicked, &w,
                     [&run] { run.editEntry(form_request::Change); });
    QObject::connect(&w, &MonitorWindow::optionsClicked, &w, [&c] { c.options(); });
    QObject::connect(&w, &MonitorWindow::sendClicked, &w, [&run, &w] {
        if (run.loadHighlighted()) run.commands.send(run.passwords.record(), w.preset());
    });
    QObject::connect(&w, &MonitorWindow::clipboardClicked, &w, [&run, &w] {
        if (run.loadHighlighted()) run.commands.copyToClipboard(run.passwords.record(), w.preset());
    });
    QObject::connect(&w, &MonitorWindow::minimizedByUser, &w, [&c] { c.minimize(); });
    QObject::connect(&w, &MonitorWindow::closing, &w, [&run] {
        run.timer.stop();
        run.clipboard.clearOwnCopy();
        run.controller.closing();
        QCoreApplication::quit();
    });
    // Queued: a restore or an exit takes the icon away, which must not happen
    // inside the icon's own mouse handling.
    QObject::connect(
        &run.tray, &SystemTray::clicked, &w,
        [&run](TrayClick click) {
            if (run.controller.trayClicked(click)) run.popUpMenu(QCursor::pos());
        },
        Qt::QueuedConnection);
    run.tray.setMenuSource([&run] { return run.controller.menu(); });
    QObject::connect(
        &run.tray, &SystemTray::menuChosen, &w,
        [&run](TrayCommand command) {
            run.controller.runCommand(command);
            run.controller.menuClosed();
            run.tray.refreshMenu();
        },
        Qt::QueuedConnection);
    QObject::connect(&run.timer, &QTimer::timeout, &w, [&run] {
        run.ticker.tick();
        run.clipboard.tick();
        run.tray.refreshMenu();
    });
}

// The end of the desktop session, or a request to terminate, closes the
// program as "&Exit" does: the tray icon goes and the window's place is saved.
void connectSessionEnd(MonitorRun& run, SessionEnd& sessionEnd) {
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &run.window,
                     [](QSessionManager&) { /* nothing unsaved to ask about */ });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &run.window,
                     [&run] { run.window.close(); });
    QObject::connect(&sessionEnd, &SessionEnd::requested, &run.window,
                     [&run] { run.window.close(); });
}

void startMonitor(MonitorRun& run) {
    run.monitor.lists().setMonitoringOn(true);
    run.applyValues();
    run.services.managers().passwords.open(run.passwords);
    monitorStartUser(run.services.managers().users, run.user);
    run.controller.startUp(withoutTrailingBlanks(run.user.text("U_:NAME")));
    run.timer.start(MonitorTicker::kIntervalMs);
}

// A settings table that is there but does not open (refused, locked) is
// named with its reason, not taken for a folder the main program never saw.
bool settingsOpenOrAbsent(ProgramServices& services, ConfigurationSettings& settings) {
    const int code = settings.table().open(access_mode::SharedReadWrite);
    if (code == store_error::NoError || code == store_error::AlreadyOpen ||
        code == store_error::NotFound)
        return true;
    services.opener().reportFileError(30, settings.table());
    return false;
}

} // namespace

int runMonitorProgram(const QStringList& arguments) {
    QtPrompter prompter;
    ProgramServices services(ProgramKind::Monitor, arguments, prompter, haltProcess);
    ConfigurationSettings settings(prompter);
    if (services.dataFolderFound() && !settingsOpenOrAbsent(services, settings)) return 1;
    if (!services.dataFolderFound() || !mainProgramHasRun(settings)) {
        prompter.ask({QStringLiteral("Quillock Monitor"), kRunMainProgramFirst,
                      int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
        return 1;
    }
    ProgramValues values = loadMonitorValues(settings);
    // The window spends most of its life hidden: closing a dialog over it must
    // not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    MonitorRun run(services, settings, values);
    SessionEnd sessionEnd;
    connectWindow(run);
    connectSessionEnd(run, sessionEnd);
    startMonitor(run);
    QApplication::exec();
    return 0;
}

} // namespace ql
