#include "health/views/PasswordHealthWindow.h"
#include "entries/EntryForm.h"
#include "framework/Pictures.h"
#include "platform/recordstore/StoreError.h"
#include "store/Layouts.h"
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <numeric>

namespace ql {

namespace {

QString summaryOf(const std::vector<HealthRow>& rows) {
    int attention = 0;
    for (const HealthRow& r : rows) attention += r.needsAttention() ? 1 : 0;
    return QStringLiteral("%1 entries, %2 needing attention").arg(rows.size()).arg(attention);
}

} // namespace

PasswordHealthWindow::PasswordHealthWindow(const HealthWindowServices& services, const Record& user,
                                           QWidget* parent)
    : QDialog(parent), services_(services), passwords_(passwordsTable()), user_(user),
      datePicture_(preferredDatePicture(services.dateFormat)) {
    setWindowTitle(QStringLiteral("Password Health - ") + user_.text("U_:NAME"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("Service"), QStringLiteral("Name"),
                                       QStringLiteral("Strength"), QStringLiteral("Reused"),
                                       QStringLiteral("Expiry"), QStringLiteral("Last changed")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setAutoDefault(false);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { openEntry(index.row()); });
    buildHeaderMenu();
    resize(760, 420);
}

void PasswordHealthWindow::buildHeaderMenu() {
    QHeaderView* header = table_->horizontalHeader();
    headerMenu_ = new QMenu(this);
    connect(headerMenu_->addAction(QStringLiteral("Export list...")), &QAction::triggered, this, [this] {
        auto table = [this](const ListExportChoice&) {
            std::vector<int> columns(ColumnCount);
            std::iota(columns.begin(), columns.end(), 0);
            return shownTable(*table_->model(), columns, windowTitle());
        };
        exportList(this, exportHooks, false, table, QStringLiteral("password-health"));
    });
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& at) { headerMenu_->popup(header->mapToGlobal(at)); });
}

PasswordHealthWindow::~PasswordHealthWindow() { passwords_.close(); }

bool PasswordHealthWindow::openTable() {
    if (services_.passwords.open(passwords_) != store_error::NoError) return false;
    reload();
    return true;
}

void PasswordHealthWindow::reload() {
    rows_ = checkUserPasswords(passwords_, user_.text("U_:NAME"), services_.clock.today());
    fill();
}

void PasswordHealthWindow::fill() {
    const int current = std::max(table_->currentRow(), 0);
    table_->setRowCount(int(rows_.size()));
    for (int i = 0; i < int(rows_.size()); ++i) {
        const HealthRow& r = rows_[size_t(i)];
        const QStringList cells{r.service, r.name, healthStrengthText(r), healthReusedText(r),
                                healthExpiryText(r, datePicture_), healthLastChangedText(r, datePicture_)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == Strength)
                item->setToolTip(QStringLiteral("About 10^%1 guesses").arg(r.strength.guessesLog10, 0, 'f', 1));
            table_->setItem(i, c, item);
        }
    }
    table_->resizeColumnsToContents();
    if (!rows_.empty()) table_->setCurrentCell(std::min(current, int(rows_.size()) - 1), 0);
    summary_->setText(summaryOf(rows_));
}

// Only the window's own user's entries are opened, as they are now stored.
void PasswordHealthWindow::openEntry(int row) {
    if (row < 0 || row >= int(rows_.size()) || !services_.form) return;
    if (passwords_.getByRecordNumber(rows_[size_t(row)].recordNumber) != store_error::NoError ||
        !passwords_.record().sameText(passwords_.record().fieldIndex("P_:USER"), user_.text("U_:NAME"))) {
        reload();
        return;
    }
    services_.form(form_request::Change, passwords_, user_, this);
    reload();
    table_->setFocus();
}

} // namespace ql
