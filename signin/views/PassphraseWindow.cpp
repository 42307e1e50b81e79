#include "signin/views/PassphraseWindow.h"
#include "framework/DialogButtons.h"
#include "framework/SecretEntry.h"
#include "platform/core/Prompter.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {
QLineEdit* secretEntry(const char* name) {
    auto* entry = new QLineEdit;
    entry->setObjectName(QLatin1String(name));
    makeSecretEntry(*entry);
    entry->setMinimumWidth(260);
    return entry;
}
} // namespace

PassphraseWindow::PassphraseWindow(bool isProtected, Prompter& prompter, QWidget* parent)
    : QDialog(parent), protected_(isProtected), prompter_(prompter) {
    setWindowTitle(QStringLiteral("Protect the data folder with a passphrase"));
    auto* form = new QFormLayout;
    if (protected_) {
        current_ = secretEntry("current");
        form->addRow(QStringLiteral("&Current passphrase:"), current_);
        turnOff_ = new QCheckBox(QStringLiteral("&Turn the passphrase off"));
        turnOff_->setObjectName(QStringLiteral("turnOff"));
        form->addRow(turnOff_);
    }
    next_ = secretEntry("next");
    confirm_ = secretEntry("confirm");
    form->addRow(QStringLiteral("&New passphrase:"), next_);
    form->addRow(QStringLiteral("C&onfirm passphrase:"), confirm_);
    strength_ = new QLabel;
    strength_->setObjectName(QStringLiteral("strength"));
    form->addRow(strength_);
    connect(next_, &QLineEdit::textChanged, this, &PassphraseWindow::showStrength);
    if (turnOff_)
        connect(turnOff_, &QCheckBox::toggled, this, [this](bool off) {
            next_->setEnabled(!off);
            confirm_->setEnabled(!off);
        });

    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("OK"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ok->setDefault(true);
    showStrength();
}

void PassphraseWindow::showStrength() {
    const QString typed = next_->text();
    strength_->setText(typed.isEmpty() ? QStringLiteral("At least %1 characters.").arg(kMinPassphraseLength)
                                       : strengthText(typed));
}

PassphraseRequest PassphraseWindow::request() const {
    using Action = PassphraseRequest::Action;
    PassphraseRequest r;
    r.action = !protected_ ? Action::TurnOn : turnOff_->isChecked() ? Action::TurnOff : Action::Change;
    if (current_) r.current = current_->text();
    r.next = next_->text();
    r.confirm = confirm_->text();
    return r;
}

PassphraseRequest PassphraseWindow::takeRequest() {
    PassphraseRequest r = request();
    for (QLineEdit* entry : {current_, next_, confirm_})
        if (entry) entry->clear();
    return r;
}

void PassphraseWindow::accept() {
    const QString refusal = passphraseRefusal(request());
    if (refusal.isEmpty()) return QDialog::accept();
    prompter_.ask({windowTitle(), refusal, int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
}

} // namespace ql
