#include "reports/views/ReportProgressWindow.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "reports/ReportSession.h"
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

ReportProgressWindow::ReportProgressWindow(ReportSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(session.windowTitle());
    auto* user = new QLabel(session.userText(), this);
    user->setObjectName(QStringLiteral("user"));
    percent_ = new QLabel(this);
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setAlignment(Qt::AlignCenter);
    percent_->setMinimumWidth(240);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &ReportProgressWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(user, 0, Qt::AlignHCenter);
    layout->addWidget(percent_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    showPercent();
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ReportProgressWindow::tick);
}

void ReportProgressWindow::run() {
    timer_->start();
    exec();
}

void ReportProgressWindow::keepPlaceIn(IniStore& positions) {
    positions_ = &positions;
    WidgetWindow window(*this);
    positions.restoreWindow(kSection, window);
}

void ReportProgressWindow::done(int result) {
    timer_->stop();
    if (positions_) positions_->saveWindow(kSection, WidgetWindow(*this));
    QDialog::done(result);
}

void ReportProgressWindow::tick() {
    const bool more = session_.tick();
    showPercent();
    if (!more) {
        timer_->stop();
        accept();
    }
}

// Redrawn only when the number changes.
void ReportProgressWindow::showPercent() {
    if (session_.percent() == shownPercent_) return;
    shownPercent_ = session_.percent();
    percent_->setText(session_.percentText());
}

void ReportProgressWindow::reject() {
    if (asking_) return;
    timer_->stop();
    asking_ = true;
    const bool over = session_.cancelRequested();
    asking_ = false;
    if (over) QDialog::reject();
    else timer_->start();
}

} // namespace ql
