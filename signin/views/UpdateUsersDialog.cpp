#include "signin/views/UpdateUsersDialog.h"
#include "framework/DialogButtons.h"
#include "framework/SecretEntry.h"
#include "entries/EntryForm.h"
#include "entries/PasswordTypes.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ql {

namespace {

QLineEdit* textEntry(const char* name, bool secret) {
    auto* entry = new QLineEdit;
    entry->setObjectName(QLatin1String(name));
    entry->setMaxLength(UpdateUsersDialog::kTextLength);
    if (secret) makeSecretEntry(*entry);
    return entry;
}

QComboBox* choices(const char* name, const char* list) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->addItems(QString::fromLatin1(list).split(u'|'));
    return box;
}

QStringList choiceTexts(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
    return texts;
}

} // namespace

UpdateUsersDialog::UpdateUsersDialog(UpdateUsers& logic, IniStore& positions, QWidget* parent)
    : QDialog(parent), logic_(logic), positions_(positions) {
    setWindowTitle(logic_.windowTitle());
    tabs_ = new QTabWidget;
    tabs_->addTab(buildGeneral(), QStringLiteral("General"));
    tabs_->addTab(buildPreferences(), QStringLiteral("Preferences"));
    tabs_->addTab(buildDefaults(), QStringLiteral("Defaults"));
    auto* tip = new QLabel(QStringLiteral(
        "Leave the password blank, or enter \"Not Required\", when no password should be "
        "needed to view this user's password information."));
    tip->setWordWrap(true);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(tip);
    layout->addWidget(buttons);
    ok->setDefault(true);
    showUser();
    if (logic_.request() == form_request::Delete) makeReadOnly();
    name_->setFocus();
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

QWidget* UpdateUsersDialog::buildGeneral() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    name_ = textEntry("name", false);
    password_ = textEntry("password", true);
    confirmation_ = textEntry("confirmPassword", true);
    lastChanged_ = new QLabel;
    lastChanged_->setObjectName(QStringLiteral("lastChanged"));
    form->addRow(QStringLiteral("&Name:"), name_);
    form->addRow(QStringLiteral("&Password:"), password_);
    form->addRow(QStringLiteral("Confirm Password:"), confirmation_);
    form->addRow(QStringLiteral("Last Changed:"), lastChanged_);
    return page;
}

QWidget* UpdateUsersDialog::buildPreferences() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    showPasswords_ = new QCheckBox(QStringLiteral("Show Passwords (instead of asterisks)"));
    showPasswords_->setObjectName(QStringLiteral("showPasswords"));
    layout->addWidget(showPasswords_);
    layout->addStretch(1);
    return page;
}

QWidget* UpdateUsersDialog::buildDefaults() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    passwordSize_ = new QSpinBox;
    passwordSize_->setObjectName(QStringLiteral("passwordSize"));
    passwordSize_->setRange(0, 999);
    passwordType_ = choices("passwordType",
                            "Word|Concatenated Word|Alphabet Only|Alphanumeric|All Characters");
    concatenation_ = choices("concatenationType", "Plus Sign|Hyphen|Number");
    form->addRow(QStringLiteral("Password Size:"), passwordSize_);
    form->addRow(QStringLiteral("Password Type:"), passwordType_);
    form->addRow(QStringLiteral("Concatenation Type:"), concatenation_);
    return page;
}

void UpdateUsersDialog::showUser() {
    const Record& u = logic_.user();
    name_->setText(u.text("U_:NAME"));
    password_->setText(u.text("U_:PASSWORD"));
    confirmation_->setText(u.text("U_:CONFIRMPASSWORD"));
    lastChanged_->setText(logic_.lastChangedLine());
    showPasswords_->setChecked(u.number("U_:SHOWPASSWORDS") != 0);
    passwordSize_->setValue(int(std::clamp<qint64>(u.number("U_:PASSWORDSIZE"), 0, 999)));
    shownType_ = storedChoice(choiceTexts(*passwordType_), u.text("U_:PASSWORDTYPE"),
                              normalizedPasswordType);
    shownConcatenation_ = storedChoice(choiceTexts(*concatenation_), u.text("U_:CONCATENATIONTYPE"),
                                       normalizedConcatenationType);
    passwordType_->setCurrentIndex(shownType_);
    concatenation_->setCurrentIndex(shownConcatenation_);
}

void UpdateUsersDialog::takeUser() {
    Record& u = logic_.user();
    u.setText("U_:NAME", name_->text());
    u.setText("U_:PASSWORD", password_->text());
    u.setText("U_:CONFIRMPASSWORD", confirmation_->text());
    u.setNumber("U_:SHOWPASSWORDS", showPasswords_->isChecked() ? 1 : 0);
    u.setNumber("U_:PASSWORDSIZE", passwordSize_->value());
    if (passwordType_->currentIndex() != shownType_)
        u.setText("U_:PASSWORDTYPE", passwordType_->currentText());
    if (concatenation_->currentIndex() != shownConcatenation_)
        u.setText("U_:CONCATENATIONTYPE", concatenation_->currentText());
}

void UpdateUsersDialog::makeReadOnly() {
    for (QLineEdit* entry : {name_, password_, confirmation_}) entry->setReadOnly(true);
    for (QWidget* control : std::initializer_list<QWidget*>{showPasswords_, passwordSize_,
                                                            passwordType_, concatenation_})
        control->setEnabled(false);
}

void UpdateUsersDialog::accept() {
    if (logic_.request() != form_request::Delete) takeUser();
    UpdateUsers::Focus focus = UpdateUsers::Focus::None;
    if (logic_.ok(focus)) {
        QDialog::accept();
        return;
    }
    showUser(); // "Not Required" put in by OK shows
    QLineEdit* target = focus == UpdateUsers::Focus::Password ? password_ : name_;
    tabs_->setCurrentIndex(0);
    target->setFocus();
    target->selectAll();
}

void UpdateUsersDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
