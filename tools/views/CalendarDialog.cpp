#include "tools/views/CalendarDialog.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ql {

namespace {
const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

QPushButton* stepButton(const char* text, const char* name) {
    auto* button = new QPushButton(QLatin1String(text));
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<<<")) + 12);
    return button;
}
} // namespace

CalendarDialog::CalendarDialog(Calendar& logic, IniStore& positions, const QString& title,
                               QWidget* parent)
    : QDialog(parent), logic_(logic), positions_(positions) {
    setWindowTitle(title.trimmed().isEmpty() ? QStringLiteral("Select Date") : title);
    caption_ = new QLabel;
    caption_->setObjectName(QStringLiteral("caption"));
    caption_->setAlignment(Qt::AlignCenter);
    auto* close = new QPushButton(QStringLiteral("Cl&ose"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(buildGrid());
    layout->addWidget(buildNavigation());
    layout->addWidget(close, 0, Qt::AlignRight);
    fillGrid();
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

QWidget* CalendarDialog::buildGrid() {
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    for (int column = 0; column < 7; ++column)
        layout->addWidget(new QLabel(QLatin1String(kDayNames[column])), 0, column, Qt::AlignCenter);
    for (int cell = 0; cell < Calendar::kCells; ++cell) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("day%1").arg(cell));
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        // Hidden days keep their place, so the grid does not jump between months.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        connect(button, &QPushButton::clicked, this, [this, cell] { pressDay(cell); });
        days_[size_t(cell)] = button;
        layout->addWidget(button, 1 + cell / 7, cell % 7);
    }
    return grid;
}

QLineEdit* CalendarDialog::stepEntry(QLayout* row, const char* name, int digits,
                                     void (Calendar::*back)(), void (Calendar::*forward)()) {
    const QByteArray base(name);
    QPushButton* before = stepButton("<", base + "Back");
    QPushButton* after = stepButton(">", base + "Next");
    auto* entry = new QLineEdit;
    entry->setObjectName(QLatin1String(name));
    entry->setMaxLength(digits);
    // Digits only; a blank entry is accepted here and refused as out of range.
    const QRegularExpression digitsOnly(QStringLiteral("\\d{0,%1}").arg(digits));
    entry->setValidator(new QRegularExpressionValidator(digitsOnly, entry));
    entry->setFixedWidth(entry->fontMetrics().horizontalAdvance(QString(digits + 2, u'0')));
    connect(before, &QPushButton::clicked, this, [this, back] { (logic_.*back)(); fillGrid(); });
    connect(after, &QPushButton::clicked, this, [this, forward] {
        (logic_.*forward)();
        fillGrid();
    });
    row->addWidget(before);
    row->addWidget(entry);
    row->addWidget(after);
    return entry;
}

QWidget* CalendarDialog::buildNavigation() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->addWidget(new QLabel(QStringLiteral("Month:")));
    month_ = stepEntry(row, "month", 2, &Calendar::previousMonth, &Calendar::nextMonth);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Year:")));
    year_ = stepEntry(row, "year", 4, &Calendar::previousYear, &Calendar::nextYear);
    row->addStretch();
    connect(month_, &QLineEdit::editingFinished, this,
            [this] { leaveEntry(month_, &Calendar::enterMonth); });
    connect(year_, &QLineEdit::editingFinished, this,
            [this] { leaveEntry(year_, &Calendar::enterYear); });
    return bar;
}

void CalendarDialog::fillGrid() {
    for (int cell = 0; cell < Calendar::kCells; ++cell) {
        const int day = logic_.dayInCell(cell);
        QPushButton* button = days_[size_t(cell)];
        button->setText(day ? QString::number(day) : QString());
        button->setEnabled(day != 0);
        button->setVisible(day != 0);
    }
    caption_->setText(logic_.caption());
    month_->setText(QStringLiteral("%1").arg(logic_.month(), 2, 10, QLatin1Char('0')));
    year_->setText(QString::number(logic_.year()));
}

// The message box of a refused value takes the focus away again: one check at a time.
void CalendarDialog::leaveEntry(QLineEdit* entry, bool (Calendar::*enter)(int)) {
    if (checking_) return;
    checking_ = true;
    if ((logic_.*enter)(entry->text().toInt())) fillGrid();
    else entry->setFocus();
    checking_ = false;
}

void CalendarDialog::pressDay(int cell) {
    if (logic_.choose(cell)) accept();
}

void CalendarDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const int cell = logic_.startCell();
    if (cell >= 0) days_[size_t(cell)]->setFocus();
}

void CalendarDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

int32_t runCalendar(const Clock& clock, Prompter& prompter, IniStore& positions, int32_t date,
                    const QString& title, QWidget* parent) {
    Calendar logic(clock, prompter, date);
    CalendarDialog dialog(logic, positions, title, parent);
    dialog.exec();
    return logic.result();
}

} // namespace ql
