#include "exchange/views/EnterPictureDialog.h"
#include "framework/DialogButtons.h"
#include "exchange/ExchangeFields.h"
#include "platform/core/Prompter.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {
constexpr int kPictureLength = 30;
} // namespace

EnterPictureDialog::EnterPictureDialog(const QString& picture, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setWindowTitle(QStringLiteral("Enter Picture..."));
    entry_ = new QLineEdit(picture.left(kPictureLength), this);
    entry_->setObjectName(QStringLiteral("picture"));
    entry_->setMaxLength(kPictureLength);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Picture:"), entry_);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"), QStringLiteral("&Cancel"), this);
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    cancel_ = okCancel.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ok->setDefault(true);
    connect(entry_, &QLineEdit::editingFinished, this, &EnterPictureDialog::leftEntry);
}

// The picture is checked when the entry is left, except for "&Cancel".
void EnterPictureDialog::leftEntry() {
    if (entry_->hasFocus() || QApplication::focusWidget() == cancel_) return;
    checkEntry();
}

bool EnterPictureDialog::checkEntry() {
    if (validPicture(entry_->text())) return true;
    prompter_.ask({QStringLiteral("Invalid Picture!"), QStringLiteral("Pictures must begin with \"@\""),
                   int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
    entry_->setFocus();
    return false;
}

void EnterPictureDialog::accept() {
    if (checkEntry()) QDialog::accept();
}

QString EnterPictureDialog::enterPicture(const QString& picture, Prompter& prompter, QWidget* parent) {
    EnterPictureDialog dialog(picture, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.entry_->text();
}

} // namespace ql
