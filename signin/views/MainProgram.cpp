#include "signin/views/MainProgram.h"
#include "framework/Halt.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtPrompter.h"
#include "signin/SettingsKeys.h"
#include "signin/UserSelection.h"
#include "signin/views/ActivityWatcher.h"
#include "signin/views/MainFrame.h"
#include "store/ConfigurationSettings.h"
#include "store/StartUp.h"
#include <QApplication>

namespace ql {

namespace {

// Until the window monitor is wired to the frame: an always-empty monitor.
class IdleMonitor : public FrameMonitor {
public:
    bool queueEmpty() override { return true; }
    void runCycle(bool) override {}
    QStringList watchedUserNames() override { return {}; }
    void emptyQueue() override {}
    void reloadAllWatched() override {}
};

void reportMissingDataFolder(Prompter& prompter, const QStringList& arguments) {
    prompter.ask({QStringLiteral("File Access Error"),
                  QStringLiteral("File (") + dataParameter(arguments) +
                      QStringLiteral(") could not be opened.  Error: Path Not Found (3)."),
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    haltProcess(QStringLiteral("Disk Error"));
}

ProgramValues loadSettings(ProgramServices& services, ConfigurationSettings& settings) {
    services.opener().openDataFile(settings.table(), true, false, access_mode::SharedReadWrite, true);
    IniStore oldSettings;
    oldSettings.openStore(QStringLiteral("WIN.INI"));
    auto readOld = [&](const QString& key) {
        return oldSettings.readSetting(QStringLiteral("Fernwick"), key);
    };
    // The carry-over of the previous version's tables runs here once it exists.
    auto upgradeOldTables = [](double) {};
    return loadMainStartUp(settings, readOld, upgradeOldTables);
}

std::array<QString, 3> quickUserNames(ProgramServices& services) {
    const std::vector<QString> names = firstUserNames(services.managers().users, 3);
    return {names[0], names[1], names[2]};
}

} // namespace

bool runCommandLineSynchronization(const QStringList&) { return false; }

int runMainProgram(const QStringList& arguments) {
    QtPrompter prompter;
    ProgramServices services(ProgramKind::Main, arguments, prompter, haltProcess);
    if (!services.dataFolderFound()) reportMissingDataFolder(prompter, arguments);
    ConfigurationSettings settings(prompter);
    ProgramValues values = loadSettings(services, settings);
    if (runCommandLineSynchronization(arguments)) return 0;

    SystemClock clock;
    QtClipboard clipboard;
    IdleMonitor monitor;
    FrameTicker ticker(clock, clipboard, monitor);
    ticker.setMonitoringOn(values.monitorActive != 0);
    ticker.setClipboardSeconds(values.clipboardSeconds);
    ticker.setInactivityMinutes(values.inactivityMinutes);

    MainFrame frame(ticker, services.positions(), clock, clipboard);
    frame.setQuickUserNames(quickUserNames(services));
    ActivityWatcher activity([&ticker] { ticker.userActivity(); });
    qApp->installEventFilter(&activity);
    // The end of the desktop session closes the program like "Exit".
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &frame, [&frame] {
        if (frame.isVisible()) frame.close();
    });
    frame.show();
    QApplication::exec();
    qApp->removeEventFilter(&activity);
    return 0;
}

} // namespace ql
