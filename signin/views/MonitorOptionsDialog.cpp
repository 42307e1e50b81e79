#include "signin/views/MonitorOptionsDialog.h"
#include "framework/DialogButtons.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/core/Prompter.h"
#include "store/StartUp.h"
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

MonitorOptionsDialog::MonitorOptionsDialog(SettingsAccess& settings, ProgramValues& values,
                                           Prompter& prompter, IniStore& positions,
                                           QWidget* parent, AutostartEntry autostart)
    : QDialog(parent), model_(settings, values), prompter_(prompter), positions_(positions),
      autostart_(std::move(autostart)) {
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
    const MonitorOptionsForm form = model_.open();
    groupDelay_->setText(form.groupDelay);
    groupSize_->setText(form.groupSize);
    stayOnTop_->setChecked(form.stayOnTop);
    askOnRestore_->setChecked(form.askOnRestore);
    askAtStart_->setChecked(form.askAtStart);
    autostartAtOpen_ = autostart_.isOn();
    startAtLogin_->setChecked(autostartAtOpen_);
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void MonitorOptionsDialog::buildControls() {
    groupDelay_ = new QLineEdit;
    groupDelay_->setObjectName(QStringLiteral("groupDelay"));
    groupSize_ = new QLineEdit;
    groupSize_->setObjectName(QStringLiteral("groupSize"));
    stayOnTop_ = new QCheckBox(QStringLiteral("Stay on top when not minimized"));
    stayOnTop_->setObjectName(QStringLiteral("stayOnTop"));
    askOnRestore_ =
        new QCheckBox(QStringLiteral("Select user every time the monitor is restored from the tray"));
    askOnRestore_->setObjectName(QStringLiteral("askOnRestore"));
    askAtStart_ = new QCheckBox(QStringLiteral("Select user before minimizing on start up"));
    askAtStart_->setObjectName(QStringLiteral("askAtStart"));
    startAtLogin_ = new QCheckBox(QStringLiteral("Start Quillock Monitor when I log in"));
    startAtLogin_->setObjectName(QStringLiteral("startAtLogin"));

    auto* numbers = new QFormLayout;
    numbers->addRow(QStringLiteral("Send Interval (1/100ths of a second):"), groupDelay_);
    numbers->addRow(QStringLiteral("Maximum Number of Characters per Send Group:"), groupSize_);

    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(numbers);
    for (QCheckBox* box : {stayOnTop_, askOnRestore_, askAtStart_, startAtLogin_}) layout->addWidget(box);
    layout->addWidget(buttons);
    ok->setDefault(true); // only once the button is inside the dialog
}

MonitorOptionsForm MonitorOptionsDialog::readForm() const {
    return {groupDelay_->text(), groupSize_->text(), stayOnTop_->isChecked(),
            askOnRestore_->isChecked(), askAtStart_->isChecked()};
}

void MonitorOptionsDialog::accept() {
    const MonitorOptionsForm form = readForm();
    const QString refusal = model_.checkNumbers(form);
    if (!refusal.isEmpty()) {
        prompter_.ask({QStringLiteral("Invalid Number"), refusal, int(PromptButton::Ok),
                       PromptButton::Ok, PromptIcon::Exclamation});
        QLineEdit* bad = parseUserNumber(groupDelay_->text()) ? groupSize_ : groupDelay_;
        bad->setFocus();
        bad->selectAll();
        return;
    }
    const std::optional<QString> information = model_.accept(form);
    if (!information) return;
    if (!applyAutostart()) return;
    if (!information->isEmpty())
        prompter_.ask({QStringLiteral("Information"), *information, int(PromptButton::Ok),
                       PromptButton::Ok, PromptIcon::Information});
    QDialog::accept();
}

// Switched on, the entry is written to start this program on the data folder in
// use (the current folder); switched off, it is removed. Left alone unchanged.
bool MonitorOptionsDialog::applyAutostart() {
    const bool on = startAtLogin_->isChecked();
    if (on == autostartAtOpen_) return true;
    const bool done = on
                          ? autostart_.switchOn(QCoreApplication::applicationFilePath(),
                                                QDir::currentPath())
                          : autostart_.switchOff();
    if (done) return true;
    prompter_.ask({QStringLiteral("Quillock Monitor"),
                   QStringLiteral("The autostart entry %1 could not be written.")
                       .arg(QDir::toNativeSeparators(autostart_.filePath())),
                   int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    startAtLogin_->setFocus();
    return false;
}

void MonitorOptionsDialog::reject() {
    model_.cancel(readForm()); // the switches edit the running program's values
    QDialog::reject();
}

void MonitorOptionsDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

bool runMonitorOptions(ProgramServices& services, SettingsAccess& settings, ProgramValues& values,
                       QWidget* parent) {
    MonitorOptionsDialog dialog(settings, values, services.prompter(), services.positions(),
                                parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace ql
