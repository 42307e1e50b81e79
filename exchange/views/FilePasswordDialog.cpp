#include "exchange/views/FilePasswordDialog.h"
#include "framework/DialogButtons.h"
#include "framework/SecretEntry.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

FilePasswordDialog::FilePasswordDialog(const QString& question, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("File Password"));
    auto* label = new QLabel(question);
    label->setWordWrap(true);
    entry_ = new QLineEdit;
    entry_->setObjectName(QStringLiteral("filePassword"));
    entry_->setMaxLength(kMaxLength);
    makeSecretEntry(*entry_);
    label->setBuddy(entry_);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&Ok"));
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(entry_);
    layout->addWidget(buttons);
    ok->setDefault(true);
    setMinimumWidth(360);
}

QString FilePasswordDialog::takeTyped() {
    const QString typed = entry_->text();
    entry_->clear();
    return typed;
}

std::optional<QString> askFilePassword(const QString& question, QWidget* parent) {
    FilePasswordDialog dialog(question, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QString typed = dialog.takeTyped();
    if (!accepted) return std::nullopt;
    return typed;
}

} // namespace ql
