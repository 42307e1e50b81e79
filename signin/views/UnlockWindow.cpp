#include "signin/views/UnlockWindow.h"
#include "framework/DialogButtons.h"
#include "framework/SecretEntry.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include "store/StartUpUnlock.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

UnlockWindow::UnlockWindow(bool retry, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Unlock Quillock"));
    setWindowIcon(QIcon(QStringLiteral(":/images/KEY3.GIF")));
    entry_ = new QLineEdit;
    entry_->setObjectName(QStringLiteral("passphrase"));
    makeSecretEntry(*entry_);
    entry_->setMinimumWidth(260);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Passphrase:"), entry_);
    auto* notice = new QLabel(retry ? QStringLiteral("The passphrase does not open the data folder.")
                                    : QStringLiteral("The data folder is protected by a passphrase."));
    notice->setObjectName(QStringLiteral("notice"));

    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("OK"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ok->setDefault(true);
}

QString UnlockWindow::takeTyped() {
    const QString typed = entry_->text();
    entry_->clear();
    return typed;
}

void UnlockWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    entry_->setFocus();
    bringToForeground(*this);
}

void installUnlockWindow() {
    setPassphraseWindow([](bool retry) -> std::optional<QString> {
        UnlockWindow window(retry);
        const bool accepted = window.exec() == QDialog::Accepted;
        QString typed = window.takeTyped();
        if (!accepted) return std::nullopt;
        return typed;
    });
}

} // namespace ql
