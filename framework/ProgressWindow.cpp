#include "framework/ProgressWindow.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

ProgressWindow::ProgressWindow(const QString& title, Work work, QWidget* parent)
    : QDialog(parent), work_(std::move(work)) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("progressWindow"));
    percent_ = new QLabel(work_.percentText ? work_.percentText() : QString(), this);
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setMinimumWidth(220);
    percent_->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(percent_);
    layout->addWidget(buttons);
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ProgressWindow::tick);
}

void ProgressWindow::run() {
    timer_->start();
    exec();
}

void ProgressWindow::tick() {
    const bool more = work_.step && work_.step();
    if (work_.percentText) percent_->setText(work_.percentText());
    if (!more) {
        timer_->stop();
        accept();
    }
}

void ProgressWindow::reject() {
    timer_->stop();
    cancelled_ = true;
    if (work_.cancel) work_.cancel();
    QDialog::reject();
}

} // namespace ql
