#include "signin/views/SelectUsersDialog.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include "store/StartUp.h"
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ql {

SelectUsersDialog::SelectUsersDialog(UserSelection& selection, IniStore& positions,
                                     ProgramKind kind, QWidget* parent)
    : QDialog(parent), selection_(selection), positions_(positions),
      bringToFront_(kind == ProgramKind::Monitor) {
    setWindowTitle(QStringLiteral("Select User"));
    prompt_ = passwordPrompt(positions, kind, this);
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("users"));
    list_->setHeaderLabels({QStringLiteral("Name")});
    list_->setRootIsDecorated(false);
    list_->setSortingEnabled(false); // the rows come in name-key order
    for (const UserRow& row : selection_.rows()) {
        auto* item = new QTreeWidgetItem(list_, {row.name});
        item->setData(0, Qt::UserRole, row.recordNumber);
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    connect(list_, &QTreeWidget::itemActivated, this, &SelectUsersDialog::pressSelect);

    auto* buttons = new QDialogButtonBox;
    QPushButton* select = buttons->addButton(QStringLiteral("&Select"), QDialogButtonBox::AcceptRole);
    select->setObjectName(QStringLiteral("select"));
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectUsersDialog::pressSelect);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectUsersDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    select->setDefault(true); // only once the button is inside the dialog
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

int SelectUsersDialog::run() {
    if (selection_.selectsAtOnce()) {
        pressSelect();
        if (result() == QDialog::Accepted) return kCompleted;
    }
    return exec() == QDialog::Accepted ? kCompleted : kCancelled;
}

void SelectUsersDialog::pressSelect() {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    const UserRow row{item->text(0), item->data(0, Qt::UserRole).toLongLong()};
    if (selection_.select(row, prompt_)) {
        accept();
        return;
    }
    list_->setFocus(); // stays open: the user may pick again or cancel
}

void SelectUsersDialog::reject() {
    selection_.cancel();
    QDialog::reject();
}

void SelectUsersDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    shown_ = true;
    list_->setFocus();
    if (bringToFront_) bringToForeground(*this);
}

void SelectUsersDialog::done(int result) {
    if (shown_) positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

int runSelectUsers(ProgramServices& services, Record& currentUser, QWidget* parent) {
    UserSelection selection(services.managers().users, services.prompter(), services.kind());
    if (!selection.open()) {
        selection.cancel();
        copyUser(currentUser, selection.currentUser());
        return kCancelled;
    }
    SelectUsersDialog dialog(selection, services.positions(), services.kind(), parent);
    const int response = dialog.run();
    if (response != kCompleted) selection.cancel();
    copyUser(currentUser, selection.currentUser());
    return response;
}

int selectMonitorUser(ProgramServices& services, Record& user, QWidget* parent) {
    return runSelectUsers(services, user, parent);
}

} // namespace ql
