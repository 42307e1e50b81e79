#include "tools/views/UpdateTipsDialog.h"
#include "framework/DialogButtons.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

UpdateTipsDialog::UpdateTipsDialog(bool insert, const QString& text,
                                   std::function<bool(const QString&)> store, IniStore& positions,
                                   QWidget* parent)
    : QDialog(parent), store_(std::move(store)), positions_(positions) {
    setWindowTitle(insert ? QStringLiteral("Add Tip") : QStringLiteral("Change Tip"));
    entry_ = new QPlainTextEdit;
    entry_->setObjectName(QStringLiteral("tip"));
    entry_->setTabChangesFocus(true);
    entry_->setPlainText(text);
    auto* label = new QLabel(QStringLiteral("Tip:"));
    label->setBuddy(entry_);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"));
    auto* buttons = okCancel.box;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(entry_);
    layout->addWidget(buttons);
    entry_->setFocus();
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void UpdateTipsDialog::accept() {
    if (store_(entry_->toPlainText()))
        QDialog::accept();
    else
        entry_->setFocus();
}

void UpdateTipsDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
