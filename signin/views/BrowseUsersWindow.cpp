#include "signin/views/BrowseUsersWindow.h"
#include "entries/EntryForm.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include "signin/views/UpdateUsersDialog.h"
#include "store/StartUp.h"
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ql {

namespace {

QPushButton* addButton(QDialogButtonBox* box, const QString& text, const char* name) {
    QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

BrowseUsersWindow::BrowseUsersWindow(std::unique_ptr<BrowseUsers> users, Services services,
                                     QWidget* parent)
    : QDialog(parent), users_(std::move(users)), services_(std::move(services)),
      format_({{QStringLiteral("Name"), QStringLiteral("@s128"), 240}}) {
    setWindowTitle(QStringLiteral("Users"));
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("users"));
    list_->setRootIsDecorated(false);
    list_->setSortingEnabled(false); // the rows come in name-key order
    list_->header()->setStretchLastSection(false); // the column keeps the width it was given
    format_.applyDateFormat(services_.dateFormat);
    const auto& columns = format_.restore(services_.positions, kProcedure);
    list_->setHeaderLabels({columns[0].heading});
    list_->setColumnWidth(0, columns[0].width);
    connect(list_, &QTreeWidget::itemActivated, this, [this] { runForm(form_request::Change); });

    auto* buttons = new QDialogButtonBox;
    connect(addButton(buttons, QStringLiteral("&Insert"), "insert"), &QPushButton::clicked, this,
            [this] { runForm(form_request::Insert); });
    connect(addButton(buttons, QStringLiteral("&Change"), "change"), &QPushButton::clicked, this,
            [this] { runForm(form_request::Change); });
    connect(addButton(buttons, QStringLiteral("&Delete"), "delete"), &QPushButton::clicked, this,
            [this] { runForm(form_request::Delete); });
    connect(addButton(buttons, QStringLiteral("Cl&ose"), "close"), &QPushButton::clicked, this,
            &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    fill({});
    WidgetWindow window(*this);
    services_.positions.restoreWindow(kProcedure, window);
}

void BrowseUsersWindow::fill(const QString& select) {
    list_->clear();
    for (const UserRow& row : users_->rows()) {
        auto* item = new QTreeWidgetItem(list_, {row.name});
        item->setData(0, Qt::UserRole, row.recordNumber);
        if (row.name == select) list_->setCurrentItem(item);
    }
    if (!list_->currentItem() && list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(0));
}

void BrowseUsersWindow::runForm(int request) {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item && request != form_request::Insert) return;
    const UserRow row = item ? UserRow{item->text(0), item->data(0, Qt::UserRole).toLongLong()}
                             : UserRow{};
    if (!users_->prepareForm(request, row, services_.prompt)) return;
    UpdateUsers logic(services_.form, request, users_->table());
    logic.open();
    UpdateUsersDialog form(logic, services_.positions, this);
    const bool completed = form.exec() == QDialog::Accepted;
    const QString name = logic.user().text("U_:NAME");
    users_->reload();
    fill(completed && request != form_request::Delete ? name : row.name);
    if (completed) {
        if (request == form_request::Change) emit userChanged(row.name, name);
        if (request == form_request::Delete) emit userDeleted(row.name);
        emit usersChanged();
    }
    list_->setFocus();
}

void BrowseUsersWindow::done(int result) {
    format_.save(services_.positions, kProcedure, {list_->columnWidth(0)});
    services_.positions.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

BrowseUsersWindow* openBrowseUsers(ProgramServices& services, Clock& clock,
                                   const QString& dateFormat, QWidget* parent) {
    RecordManagers& managers = services.managers();
    auto users = std::make_unique<BrowseUsers>(managers.users, services.prompter());
    if (!users->open()) return nullptr;
    UserFormServices form{managers.users, managers.userRelations, services.prompter(), clock};
    BrowseUsersWindow::Services windowServices{form, services.positions(), {}, dateFormat};
    auto* window = new BrowseUsersWindow(std::move(users), std::move(windowServices), parent);
    window->setPasswordPrompt(passwordPrompt(services.positions(), services.kind(), window));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

} // namespace ql
