#include "signin/views/ConfirmPasswordDialog.h"
#include "framework/DialogButtons.h"
#include "framework/SecretEntry.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "store/StartUp.h"
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QVBoxLayout>

namespace ql {

void bringToForeground(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.raise();
    window.activateWindow();
}

ConfirmPasswordDialog::ConfirmPasswordDialog(IniStore& positions, bool bringToFront,
                                             QWidget* parent)
    : QDialog(parent), positions_(positions), bringToFront_(bringToFront) {
    setWindowTitle(QStringLiteral("Security Check"));
    entry_ = new QLineEdit;
    entry_->setObjectName(QStringLiteral("password"));
    entry_->setMaxLength(kMaxLength);
    makeSecretEntry(*entry_);
    entry_->setToolTip(QStringLiteral("Confirmation Password"));
    auto* label = new QLabel(QStringLiteral("Confirm Password:"));
    label->setBuddy(entry_);

    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&Ok"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(entry_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    ok->setDefault(true); // only once the button is inside the dialog
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

QString ConfirmPasswordDialog::takeTyped() {
    const QString typed = entry_->text();
    entry_->clear();
    return typed;
}

void ConfirmPasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    entry_->setFocus();
    if (bringToFront_) bringToForeground(*this);
}

void ConfirmPasswordDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

PasswordPrompt passwordPrompt(IniStore& positions, ProgramKind kind, QWidget* parent) {
    return [&positions, kind, owner = QPointer<QWidget>(parent)]() -> std::optional<QString> {
        ConfirmPasswordDialog dialog(positions, kind == ProgramKind::Monitor, owner.data());
        if (dialog.exec() != QDialog::Accepted) {
            dialog.takeTyped();
            return std::nullopt;
        }
        return dialog.takeTyped();
    };
}

int runConfirmPassword(ProgramServices& services, Record& user, QWidget* parent) {
    return confirmPassword(user, passwordPrompt(services.positions(), services.kind(), parent),
                           services.prompter());
}

} // namespace ql
