#include "monitorapp/MonitorProgram.h"
#include "framework/Halt.h"
#include "framework/WidgetWindow.h"
#include "platform/qt/QtPrompter.h"
#include "signin/SettingsKeys.h"
#include "store/ConfigurationSettings.h"
#include "store/StartUp.h"
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

namespace ql {

namespace {

// The main program creates the data files; the monitor only opens them, so a
// folder without a filled Configuration table means the main program never ran.
bool mainProgramHasRun(ConfigurationSettings& settings) {
    const int code = settings.table().open(access_mode::SharedReadWrite);
    if (code != store_error::NoError && code != store_error::AlreadyOpen) return false;
    return settings.table().records() > 0;
}

// The monitor's window until its list and tray arrive.
class MonitorWindow : public QMainWindow {
public:
    explicit MonitorWindow(IniStore& positions) : positions_(positions) {
        setWindowTitle(QStringLiteral("Quillock Monitor"));
        setWindowIcon(QIcon(QStringLiteral(":/images/KEY3.GIF")));
        resize(320, 240);
        WidgetWindow window(*this);
        positions_.restoreWindow(QStringLiteral("Main"), window);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        WidgetWindow window(*this);
        positions_.saveWindow(QStringLiteral("Main"), window);
        QMainWindow::closeEvent(event);
    }

private:
    IniStore& positions_;
};

} // namespace

int runMonitorProgram(const QStringList& arguments) {
    QtPrompter prompter;
    ProgramServices services(ProgramKind::Monitor, arguments, prompter, haltProcess);
    ConfigurationSettings settings(prompter);
    if (!services.dataFolderFound() || !mainProgramHasRun(settings)) {
        prompter.ask({QStringLiteral("Quillock Monitor"), kRunMainProgramFirst,
                      int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
        return 1;
    }
    ProgramValues values = loadMonitorValues(settings);
    (void)values;
    MonitorWindow window(services.positions());
    window.show();
    return QApplication::exec();
}

} // namespace ql
