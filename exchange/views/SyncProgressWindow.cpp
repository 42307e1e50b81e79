#include "exchange/views/SyncProgressWindow.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

namespace {
// Each tick works this long, so the window stays responsive.
constexpr qint64 kSliceMs = 40;
constexpr int kBatch = 25;
} // namespace

SyncProgressWindow::SyncProgressWindow(SyncRun& run, const QString& status, const QString& section,
                                       IniStore& positions, QWidget* parent)
    : QDialog(parent), run_(run), section_(section), positions_(positions) {
    setWindowTitle(QStringLiteral("Processing Records"));
    percent_ = new QLabel(QStringLiteral("0% Completed"));
    percent_->setObjectName(QStringLiteral("percent"));
    auto* statusText = new QLabel(status);
    statusText->setObjectName(QStringLiteral("status"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &SyncProgressWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(percent_, 0, Qt::AlignHCenter);
    layout->addWidget(statusText, 0, Qt::AlignHCenter);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    setMinimumWidth(260);
    WidgetWindow window(*this);
    positions_.restoreWindow(section_, window);
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &SyncProgressWindow::tick);
}

void SyncProgressWindow::runModal() {
    timer_->start();
    exec();
}

void SyncProgressWindow::tick() {
    if (ended_) return;
    bool more = true;
    if (!started_) {
        started_ = true;
        more = run_.start();
    }
    QElapsedTimer slice;
    slice.start();
    while (more && slice.elapsed() < kSliceMs) more = run_.step(kBatch);
    showPercent();
    if (!more) {
        ended_ = true;
        accept();
    }
}

void SyncProgressWindow::showPercent() {
    percent_->setText(QStringLiteral("%1% Completed").arg(run_.percent()));
}

void SyncProgressWindow::reject() {
    if (!ended_) {
        ended_ = true;
        run_.cancel();
    }
    QDialog::reject();
}

void SyncProgressWindow::done(int result) {
    timer_->stop();
    positions_.saveWindow(section_, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
