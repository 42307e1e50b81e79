#include "signin/views/CloseDownWindow.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

namespace {
constexpr int64_t kCountdown = 1000; // hundredths
const QString kSection = QStringLiteral("Countdown");
} // namespace

CloseDownWindow::CloseDownWindow(Clock& clock, IniStore& positions, QWidget* parent)
    : QDialog(parent), clock_(clock), positions_(positions) {
    setWindowTitle(QStringLiteral("Automatic Close Down"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Due to inactivity, Quillock will shut down in"), this));
    countdown_ = new QLabel(QStringLiteral("10 Seconds."), this);
    layout->addWidget(countdown_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    startDay_ = clock_.today();
    startTime_ = clock_.now();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CloseDownWindow::tick);
    timer_->start(50);
}

int64_t CloseDownWindow::elapsed() const {
    return int64_t(clock_.today() - startDay_) * kHundredthsPerDay + clock_.now() - startTime_;
}

QString CloseDownWindow::countdownText() const { return countdown_->text(); }

void CloseDownWindow::tick() {
    const int64_t left = kCountdown - elapsed();
    countdown_->setText(QString::number(left / 100) + QStringLiteral(" seconds."));
    if (left < 0) {
        timer_->stop();
        emit closeDownNow();
        accept();
    }
}

void CloseDownWindow::showEvent(QShowEvent* event) {
    if (!restored_) {
        WidgetWindow window(*this);
        positions_.restoreWindow(kSection, window);
        restored_ = true;
    }
    QDialog::showEvent(event);
}

void CloseDownWindow::done(int result) {
    WidgetWindow window(*this);
    positions_.saveWindow(kSection, window);
    QDialog::done(result);
}

} // namespace ql
