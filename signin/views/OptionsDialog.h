#pragma once
#include "signin/OptionsModel.h"
#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace ql {

class IniStore;
class Prompter;
class ProgramServices;

// Asks for a font (the window system's font dialog); nullopt when cancelled.
using FontChooser = std::function<std::optional<QFont>(const QFont& current, QWidget* parent)>;
// The font dialog titled "Select Font...".
std::optional<QFont> chooseFontWithDialog(const QFont& current, QWidget* parent);

// The main program's "Options" window: switches, numbers, date format and
// report font, shown over MainOptionsModel.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("Options");

    OptionsDialog(SettingsAccess& settings, ProgramValues& values, Prompter& prompter,
                  IniStore& positions, QWidget* parent = nullptr);
    void setFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }
    // Adds "Protect the data folder with a passphrase..." running `action`.
    void addProtectButton(std::function<void()> action);

signals:
    // After OK: the monitoring switch the running program takes at once.
    void monitoringChosen(bool on);

public slots:
    void accept() override;
    void done(int result) override;

private:
    void buildControls();
    void showForm(const MainOptionsForm& form);
    MainOptionsForm readForm() const;
    void selectReportFont();
    void showSampleFont();

    MainOptionsModel model_;
    ProgramValues& values_;
    Prompter& prompter_;
    IniStore& positions_;
    MainOptionsForm form_;
    FontChooser chooseFont_ = chooseFontWithDialog;
    QCheckBox *skip_ = nullptr, *hideClipboard_ = nullptr, *monitorActive_ = nullptr;
    QLineEdit *clipboardSeconds_ = nullptr, *inactivityMinutes_ = nullptr;
    QLineEdit *groupDelay_ = nullptr, *groupSize_ = nullptr;
    QComboBox* dateFormat_ = nullptr;
    QLabel* sample_ = nullptr;
};

// Opens Options modally; true when OK was pressed (the values then hold the new
// settings and values.monitorActive is the new monitoring switch).
bool runOptions(ProgramServices& services, SettingsAccess& settings, ProgramValues& values,
                QWidget* parent = nullptr);

} // namespace ql
