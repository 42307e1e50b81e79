#include "exchange/views/ExportPasswordsWindow.h"
#include "framework/DialogButtons.h"
#include "exchange/PasswordExport.h"
#include "exchange/views/EnterPictureDialog.h"
#include "exchange/views/MarkingList.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "store/FileManager.h"
#include "store/Layouts.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

namespace {
constexpr int kSelected = 1; // response of a completed user selection

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

ExportPasswordsWindow::ExportPasswordsWindow(ExchangeContext& context, QWidget* parent)
    : QDialog(parent), context_(context), passwords_(passwordsTable()), user_(usersTable()) {
    setWindowTitle(QStringLiteral("Choose Fields for Export..."));
    all_ = new MarkingList(this);
    all_->setObjectName(QStringLiteral("allFields"));
    for (const FieldRow& row : fields_.allFields()) all_->addItem(row.name);
    chosen_ = new MarkingList(this);
    chosen_->setObjectName(QStringLiteral("exportFields"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("pictureDisplay"));
    header_ = new QCheckBox(QStringLiteral("Include &header record with field names"), this);
    header_->setObjectName(QStringLiteral("header"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("All Fields"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Export Fields"), this), 0, 2);
    grid->addWidget(all_, 1, 0);
    grid->addWidget(buildButtons(), 1, 1);
    grid->addWidget(chosen_, 1, 2);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(new QLabel(QStringLiteral("Picture"), this));
    pictureRow->addWidget(picture_, 1);
    grid->addLayout(pictureRow, 2, 2);
    const DialogButtons okCancel = okCancelButtons(*this, QStringLiteral("&OK"), QStringLiteral("&Cancel"), this);
    auto* buttons = okCancel.box;
    QPushButton* ok = okCancel.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(header_);
    layout->addWidget(buttons);
    ok->setDefault(true);
    connect(chosen_, &QListWidget::currentRowChanged, this, &ExportPasswordsWindow::refreshPictureDisplay);
    refreshExportList(0);
    WidgetWindow window(*this);
    context_.positions.restoreWindow(kProcedure, window);
}

QWidget* ExportPasswordsWindow::buildButtons() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    QPushButton* add = button(QStringLiteral("&Add ->"), "add", column);
    QPushButton* remove = button(QStringLiteral("&Remove"), "remove", column);
    QPushButton* up = button(QStringLiteral("Shift &Up"), "shiftUp", column);
    QPushButton* down = button(QStringLiteral("Shift &Down"), "shiftDown", column);
    QPushButton* picture = button(QStringLiteral("&Picture"), "picture", column);
    for (QPushButton* b : {add, remove, up, down, picture}) {
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    connect(add, &QPushButton::clicked, this, &ExportPasswordsWindow::add);
    connect(remove, &QPushButton::clicked, this, &ExportPasswordsWindow::remove);
    connect(up, &QPushButton::clicked, this, [this] { shift(true); });
    connect(down, &QPushButton::clicked, this, [this] { shift(false); });
    connect(picture, &QPushButton::clicked, this, &ExportPasswordsWindow::enterPicture);
    return column;
}

void ExportPasswordsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (userAsked_) return;
    userAsked_ = true;
    QTimer::singleShot(0, this, &ExportPasswordsWindow::chooseUser);
}

void ExportPasswordsWindow::warn(const QString& text) {
    context_.prompter.ask({QStringLiteral("Warning"), text, int(PromptButton::Ok), PromptButton::Ok,
                           PromptIcon::Exclamation});
}

// The user whose entries go out; without one the window closes.
void ExportPasswordsWindow::chooseUser() {
    if (context_.selectUser(user_, this) != kSelected) {
        warn(QStringLiteral("Export Cancelled."));
        reject();
    } else if (user_.text(u"U_:NAME").isEmpty()) {
        warn(QStringLiteral("Export cancelled!"));
        reject();
    }
}

void ExportPasswordsWindow::refreshExportList(int current) {
    chosen_->clear();
    for (const FieldRow& row : fields_.exportFields()) chosen_->addItem(row.name);
    if (chosen_->count() > 0)
        chosen_->setCurrentRow(std::clamp(current, 0, chosen_->count() - 1), QItemSelectionModel::NoUpdate);
    refreshPictureDisplay();
}

void ExportPasswordsWindow::refreshPictureDisplay() {
    picture_->setText(fields_.typeText(chosen_->currentRow()));
}

void ExportPasswordsWindow::add() {
    const std::vector<int> marked = fields_.add(all_->markedRows());
    refreshExportList(chosen_->currentRow());
    chosen_->markRows(marked);
    refreshPictureDisplay();
}

void ExportPasswordsWindow::remove() {
    fields_.remove(chosen_->markedRows());
    refreshExportList(chosen_->currentRow());
}

void ExportPasswordsWindow::shift(bool up) {
    const int row = chosen_->currentRow();
    const int now = up ? fields_.shiftUp(row) : fields_.shiftDown(row);
    refreshExportList(now);
    chosen_->markRows({now});
}

void ExportPasswordsWindow::enterPicture() {
    const int row = chosen_->currentRow();
    if (row < 0) return;
    const QString picture =
        EnterPictureDialog::enterPicture(fields_.exportFields()[row].picture, context_.prompter, this);
    fields_.setPicture(row, picture);
    refreshPictureDisplay();
}

void ExportPasswordsWindow::accept() {
    if (fields_.exportFields().empty()) {
        context_.prompter.ask({QStringLiteral("No Fields Selected for Export!"),
                               QStringLiteral("You must select one or more fields to export."),
                               int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Information});
        return;
    }
    if (!passwords_.isOpen() && context_.passwords.open(passwords_) != 0) {
        reject();
        return;
    }
    exported_ = PasswordExport(passwords_, context_.csv, context_.prompter)
                    .run(user_.text(u"U_:NAME"), fields_.exportFields(), header_->isChecked());
    QDialog::accept();
}

void ExportPasswordsWindow::done(int result) {
    context_.positions.saveWindow(kProcedure, WidgetWindow(*this));
    passwords_.close();
    QDialog::done(result);
}

} // namespace ql
