#pragma once
#include "framework/AutostartEntry.h"
#include "signin/OptionsModel.h"
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace ql {

class IniStore;
class Prompter;
class ProgramServices;

// The monitor program's options window: send pacing and its three switches,
// shown over MonitorOptionsModel, and whether the desktop starts the monitor
// at login (its autostart entry, written for the program and data folder in use).
class MonitorOptionsDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("MonitorOptions");

    MonitorOptionsDialog(SettingsAccess& settings, ProgramValues& values, Prompter& prompter,
                         IniStore& positions, QWidget* parent = nullptr,
                         AutostartEntry autostart = AutostartEntry());

public slots:
    void accept() override;
    void reject() override;
    void done(int result) override;

private:
    void buildControls();
    MonitorOptionsForm readForm() const;
    bool applyAutostart();

    MonitorOptionsModel model_;
    Prompter& prompter_;
    IniStore& positions_;
    AutostartEntry autostart_;
    bool autostartAtOpen_ = false;
    QLineEdit *groupDelay_ = nullptr, *groupSize_ = nullptr;
    QCheckBox *stayOnTop_ = nullptr, *askOnRestore_ = nullptr, *askAtStart_ = nullptr,
              *startAtLogin_ = nullptr;
};

// Opens the monitor's options modally; true when OK was pressed.
bool runMonitorOptions(ProgramServices& services, SettingsAccess& settings, ProgramValues& values,
                       QWidget* parent = nullptr);

} // namespace ql
