#include "exchange/views/ImportPasswordsWindow.h"
#include "framework/DialogButtons.h"
#include "exchange/views/EnterPictureDialog.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/core/Prompter.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ql {

namespace {

QTreeWidget* list(const QStringList& headers, std::initializer_list<int> widths, const char* name,
                  QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QLatin1String(name));
    tree->setHeaderLabels(headers);
    int column = 0;
    for (int width : widths) tree->setColumnWidth(column++, width);
    tree->setMinimumWidth(300);
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

int currentRow(const QTreeWidget* tree) {
    return tree->currentItem() ? tree->indexOfTopLevelItem(tree->currentItem()) : -1;
}

void selectRow(QTreeWidget* tree, int row) {
    if (QTreeWidgetItem* item = tree->topLevelItem(row)) tree->setCurrentItem(item);
}

} // namespace

ImportPasswordsWindow::ImportPasswordsWindow(ImportSetup& setup, Prompter& prompter,
                                             IniStore& positions, Run run, QWidget* parent)
    : QDialog(parent), setup_(setup), prompter_(prompter), positions_(positions), run_(std::move(run)) {
    setWindowTitle(QStringLiteral("Assign fields for Import..."));
    sources_ = list({QStringLiteral("Import Field"), QStringLiteral("Picture"), QStringLiteral("Value")},
                    {80, 100}, "sources", this);
    targets_ = list({QStringLiteral("Target Field"), QStringLiteral("="), QStringLiteral("Import Field")},
                    {170, 24}, "targets", this);
    record_ = new QLabel(this);
    record_->setObjectName(QStringLiteral("recordNumber"));
    stripHeader_ = new QCheckBox(QStringLiteral("Strip &header record (field names)"), this);
    stripHeader_->setObjectName(QStringLiteral("stripHeader"));
    auto* grid = new QGridLayout;
    grid->addWidget(sources_, 0, 0);
    grid->addWidget(buildButtons(), 0, 1);
    grid->addWidget(targets_, 0, 2);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"), QStringLiteral("&Cancel"), this);
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(stripHeader_);
    layout->addWidget(buttons);
    ok->setDefault(true);
    connect(sources_, &QTreeWidget::currentItemChanged, this, &ImportPasswordsWindow::sourceChosen);
    connect(targets_, &QTreeWidget::currentItemChanged, this, &ImportPasswordsWindow::targetChosen);
    resize(860, 520);
    refresh();
    selectRow(sources_, 0);
    selectRow(targets_, 0);
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

QWidget* ImportPasswordsWindow::buildButtons() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    next_ = new QPushButton(QStringLiteral("&Next"), column);
    auto* picture = new QPushButton(QStringLiteral("&Picture"), column);
    auto* assign = new QPushButton(QStringLiteral("&Assign"), column);
    auto_ = new QPushButton(QStringLiteral("A&uto"), column);
    unassign_ = new QPushButton(QStringLiteral("&Unassign"), column);
    const char* names[] = {"next", "picture", "assign", "auto", "unassign"};
    int i = 0;
    for (QPushButton* b : {next_, picture, assign, auto_, unassign_}) {
        b->setObjectName(QLatin1String(names[i++]));
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(new QLabel(QStringLiteral("Rec#"), column));
    recordRow->addWidget(record_, 1);
    layout->addLayout(recordRow);
    layout->addStretch(1);
    connect(next_, &QPushButton::clicked, this, &ImportPasswordsWindow::next);
    connect(picture, &QPushButton::clicked, this, &ImportPasswordsWindow::enterPicture);
    connect(assign, &QPushButton::clicked, this, &ImportPasswordsWindow::assign);
    connect(auto_, &QPushButton::clicked, this, &ImportPasswordsWindow::autoAssign);
    connect(unassign_, &QPushButton::clicked, this, &ImportPasswordsWindow::unassign);
    return column;
}

// Shows the assignment as it stands, keeping the current rows.
void ImportPasswordsWindow::refresh() {
    const ImportAssignment& a = setup_.assignment();
    const int source = currentRow(sources_), target = currentRow(targets_);
    following_ = true;
    sources_->clear();
    for (size_t i = 0; i < a.sources().size(); ++i) {
        const SourceColumn& c = a.sources()[i];
        QString sample = c.sample;
        sample.replace(u'\n', u' ');
        new QTreeWidgetItem(sources_, {c.name, a.typeText(int(i)), sample});
    }
    targets_->clear();
    for (const TargetRow& t : a.targets()) {
        const bool assigned = t.source >= 0;
        new QTreeWidgetItem(targets_, {t.name, assigned ? QStringLiteral("=") : QString(),
                                       assigned ? a.sources()[t.source].name : QString()});
    }
    selectRow(sources_, source);
    selectRow(targets_, target);
    following_ = false;
    record_->setText(QString::number(setup_.recordNumber()));
    next_->setEnabled(setup_.nextAvailable());
    auto_->setEnabled(setup_.autoAvailable());
    // "A&uto" and "&Unassign" share their mnemonic: while "A&uto" is offered,
    // Alt+U presses it; afterwards Alt+U presses "&Unassign".
    unassign_->setShortcut(auto_->isEnabled() ? QKeySequence()
                                              : QKeySequence::mnemonic(unassign_->text()));
}

void ImportPasswordsWindow::next() {
    setup_.next();
    refresh();
}

void ImportPasswordsWindow::assign() {
    setup_.assignment().assign(currentRow(sources_), currentRow(targets_));
    refresh();
}

void ImportPasswordsWindow::unassign() {
    setup_.assignment().unassign(currentRow(targets_));
    refresh();
}

void ImportPasswordsWindow::autoAssign() {
    setup_.autoAssign();
    stripHeader_->setChecked(true);
    refresh();
}

void ImportPasswordsWindow::enterPicture() {
    const int row = currentRow(sources_);
    if (row < 0) return;
    const QString picture =
        EnterPictureDialog::enterPicture(setup_.assignment().sources()[row].picture, prompter_, this);
    setup_.assignment().setPicture(row, picture);
    refresh();
}

void ImportPasswordsWindow::sourceChosen() {
    if (following_) return;
    const int target = setup_.assignment().firstTargetOf(currentRow(sources_));
    if (target < 0) return;
    following_ = true;
    selectRow(targets_, target);
    following_ = false;
}

void ImportPasswordsWindow::targetChosen() {
    if (following_) return;
    const int target = currentRow(targets_);
    if (target < 0) return;
    const int source = setup_.assignment().targets()[target].source;
    if (source < 0) return;
    following_ = true;
    selectRow(sources_, source);
    following_ = false;
}

void ImportPasswordsWindow::accept() {
    if (!setup_.assignment().anyAssigned()) {
        prompter_.ask({QStringLiteral("No Fields Selected for Import!"),
                       QStringLiteral("You must select one or more fields to import."),
                       int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
        return;
    }
    if (run_) run_(stripHeader_->isChecked());
    QDialog::accept();
}

void ImportPasswordsWindow::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
