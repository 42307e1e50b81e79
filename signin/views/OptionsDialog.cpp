#include "signin/views/OptionsDialog.h"
#include "framework/DialogButtons.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/core/Prompter.h"
#include "signin/views/ReportFont.h"
#include "store/StartUp.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

std::optional<QFont> chooseFontWithDialog(const QFont& current, QWidget* parent) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, parent, QStringLiteral("Select Font..."));
    if (!ok) return std::nullopt;
    return font;
}

namespace {

QLineEdit* numberEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QCheckBox* switchBox(const QString& text, const char* name) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

OptionsDialog::OptionsDialog(SettingsAccess& settings, ProgramValues& values, Prompter& prompter,
                             IniStore& positions, QWidget* parent)
    : QDialog(parent), model_(settings, values), values_(values), prompter_(prompter),
      positions_(positions) {
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
    form_ = model_.open();
    showForm(form_);
    skip_->setFocus(); // keyboard users start at the top and tab down the form
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void OptionsDialog::buildControls() {
    skip_ = switchBox(QStringLiteral("Skip Copy/Paste Buttons when tabbing through password form"),
                      "skip");
    hideClipboard_ = switchBox(QStringLiteral("Hide Clipboard Contents"), "hideClipboard");
    monitorActive_ = switchBox(QStringLiteral("Monitor Active at Startup"), "monitorActive");
    clipboardSeconds_ = numberEdit("clipboardSeconds");
    inactivityMinutes_ = numberEdit("inactivityMinutes");
    groupDelay_ = numberEdit("groupDelay");
    groupSize_ = numberEdit("groupSize");
    dateFormat_ = new QComboBox;
    dateFormat_->setObjectName(QStringLiteral("dateFormat"));

    auto* numbers = new QFormLayout;
    numbers->addRow(QStringLiteral("Clear clipboard contents after how many seconds:"),
                    clipboardSeconds_);
    numbers->addRow(QStringLiteral("Close after how many minutes of inactivity:"),
                    inactivityMinutes_);
    numbers->addRow(QStringLiteral("Send Interval (1/100ths of a second):"), groupDelay_);
    numbers->addRow(QStringLiteral("Maximum Number of Characters per Send Group:"), groupSize_);
    numbers->addRow(QStringLiteral("Date Format:"), dateFormat_);

    auto* fontBox = new QGroupBox(QStringLiteral("Report Font"));
    auto* fontLayout = new QVBoxLayout(fontBox);
    sample_ = new QLabel(QStringLiteral("AaBbYyZz 0123"));
    sample_->setObjectName(QStringLiteral("sample"));
    auto* fontButton = new QPushButton(QStringLiteral("Select Report Font"));
    fontButton->setObjectName(QStringLiteral("selectReportFont"));
    fontButton->setAutoDefault(false); // Return in the form means "&Ok"
    connect(fontButton, &QPushButton::clicked, this, &OptionsDialog::selectReportFont);
    fontLayout->addWidget(sample_);
    fontLayout->addWidget(fontButton);

    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&Ok"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : {skip_, hideClipboard_, monitorActive_}) layout->addWidget(box);
    layout->addLayout(numbers);
    layout->addWidget(fontBox);
    layout->addWidget(buttons);
    ok->setDefault(true); // only once the button is inside the dialog
}

void OptionsDialog::addProtectButton(std::function<void()> action) {
    auto* button = new QPushButton(QStringLiteral("Protect the data folder with a passphrase..."));
    button->setObjectName(QStringLiteral("protect"));
    button->setAutoDefault(false); // Return in the form means "&Ok"
    connect(button, &QPushButton::clicked, this, std::move(action));
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(box->count() - 1, button); // above the dialog's buttons
}

void OptionsDialog::showForm(const MainOptionsForm& form) {
    skip_->setChecked(form.skip);
    hideClipboard_->setChecked(form.hideClipboard);
    monitorActive_->setChecked(form.monitorActive);
    clipboardSeconds_->setText(form.clipboardSeconds);
    inactivityMinutes_->setText(form.inactivityMinutes);
    groupDelay_->setText(form.groupDelay);
    groupSize_->setText(form.groupSize);
    dateFormat_->clear();
    for (const DateFormatChoice& choice : dateFormatChoices()) dateFormat_->addItem(choice.shown);
    int current = dateFormat_->findText(form.dateFormatShown, Qt::MatchExactly);
    const bool blank = form.dateFormatShown.trimmed().isEmpty(); // none chosen yet
    if (current < 0 && !blank) { // a token of no known format is shown as it is
        dateFormat_->addItem(form.dateFormatShown);
        current = dateFormat_->count() - 1;
    }
    dateFormat_->setCurrentIndex(current);
    showSampleFont();
}

MainOptionsForm OptionsDialog::readForm() const {
    MainOptionsForm form = form_; // keeps the font texts
    form.skip = skip_->isChecked();
    form.hideClipboard = hideClipboard_->isChecked();
    form.monitorActive = monitorActive_->isChecked();
    form.clipboardSeconds = clipboardSeconds_->text();
    form.inactivityMinutes = inactivityMinutes_->text();
    form.groupDelay = groupDelay_->text();
    form.groupSize = groupSize_->text();
    form.dateFormatShown = dateFormat_->currentText();
    return form;
}

void OptionsDialog::showSampleFont() {
    const ReportFontTexts texts{form_.fontType, form_.fontSize, form_.fontStyle, form_.fontColour};
    sample_->setFont(reportFont(texts, font()));
    QPalette palette = sample_->palette();
    const QColor colour = reportFontColour(form_.fontColour);
    palette.setColor(QPalette::WindowText,
                     colour.isValid() ? colour : this->palette().color(QPalette::WindowText));
    sample_->setPalette(palette);
}

void OptionsDialog::selectReportFont() {
    const std::optional<QFont> chosen = chooseFont_ ? chooseFont_(sample_->font(), this)
                                                    : std::nullopt;
    if (!chosen) return;
    const ReportFontTexts texts = reportFontTexts(*chosen, form_.fontColour);
    form_.fontType = texts.type;
    form_.fontSize = texts.size;
    form_.fontStyle = texts.style;
    showSampleFont();
}

void OptionsDialog::accept() {
    const MainOptionsForm form = readForm();
    const QString refusal = model_.checkNumbers(form);
    if (!refusal.isEmpty()) {
        prompter_.ask({QStringLiteral("Invalid Number"), refusal, int(PromptButton::Ok),
                       PromptButton::Ok, PromptIcon::Exclamation});
        for (QLineEdit* edit : {clipboardSeconds_, inactivityMinutes_, groupDelay_, groupSize_}) {
            if (parseUserNumber(edit->text())) continue;
            edit->setFocus();
            edit->selectAll();
            break;
        }
        return;
    }
    if (!model_.accept(form)) return;
    emit monitoringChosen(values_.monitorActive != 0);
    QDialog::accept();
}

void OptionsDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

bool runOptions(ProgramServices& services, SettingsAccess& settings, ProgramValues& values,
                QWidget* parent) {
    OptionsDialog dialog(settings, values, services.prompter(), services.positions(), parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace ql
