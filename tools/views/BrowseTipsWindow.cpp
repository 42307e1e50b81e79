#include "tools/views/BrowseTipsWindow.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "tools/views/UpdateTipsDialog.h"
#include <QDialogButtonBox>
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

BrowseTipsWindow::BrowseTipsWindow(BrowseTips& tips, Prompter& prompter, IniStore& positions,
                                   QWidget* parent)
    : QDialog(parent), tips_(tips), prompter_(prompter), positions_(positions) {
    setWindowTitle(QStringLiteral("Browse Tips"));
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("tips"));
    list_->setHeaderLabels({QStringLiteral("Tip")});
    list_->setRootIsDecorated(false);
    list_->setWordWrap(false);
    connect(list_, &QTreeWidget::itemActivated, this, &BrowseTipsWindow::changeTip);
    auto* buttons = new QDialogButtonBox;
    connect(addButton(buttons, QStringLiteral("&Insert"), "insert"), &QPushButton::clicked, this,
            &BrowseTipsWindow::insertTip);
    connect(addButton(buttons, QStringLiteral("&Change"), "change"), &QPushButton::clicked, this,
            &BrowseTipsWindow::changeTip);
    connect(addButton(buttons, QStringLiteral("&Delete"), "delete"), &QPushButton::clicked, this,
            &BrowseTipsWindow::deleteTip);
    connect(addButton(buttons, QStringLiteral("Cl&ose"), "close"), &QPushButton::clicked, this,
            &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(560, 360);
    tips_.reload();
    fill(0);
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void BrowseTipsWindow::fill(qint64 select) {
    list_->clear();
    for (const TipRow& row : tips_.rows()) {
        auto* item = new QTreeWidgetItem(list_, {QString(row.shown).replace(u'\n', u' ')});
        item->setData(0, Qt::UserRole, row.id);
        if (row.id == select) list_->setCurrentItem(item);
    }
    if (!list_->currentItem() && list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(select < 0 ? list_->topLevelItemCount() - 1 : 0));
}

qint64 BrowseTipsWindow::selectedId() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, Qt::UserRole).toLongLong() : 0;
}

void BrowseTipsWindow::insertTip() {
    UpdateTipsDialog form(
        true, {}, [this](const QString& text) { return tips_.insert(text, prompter_); },
        positions_, this);
    if (form.exec() != QDialog::Accepted) return;
    tips_.reload();
    fill(-1); // the new tip is the last
}

void BrowseTipsWindow::changeTip() {
    const qint64 id = selectedId();
    if (id == 0) return;
    UpdateTipsDialog form(
        false, tips_.text(id),
        [this, id](const QString& text) { return tips_.change(id, text, prompter_); }, positions_,
        this);
    if (form.exec() != QDialog::Accepted) return;
    tips_.reload();
    fill(id);
}

void BrowseTipsWindow::deleteTip() {
    const qint64 id = selectedId();
    if (id == 0 || !tips_.remove(id)) return;
    tips_.reload();
    fill(0);
}

void BrowseTipsWindow::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
