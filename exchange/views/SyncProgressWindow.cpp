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
constexpr int kKeyPollMs = 20;
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

// Until the key arrives the timer only looks in now and then, leaving the
// processor to the derivation.
void SyncProgressWindow::tick() {
    if (ended_) return;
    bool more = started_ || begin();
    if (more && !keyed_) {
        if (!keyJob_->finished()) return;
        more = keyArrived();
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

bool SyncProgressWindow::begin() {
    started_ = true;
    if (!run_.start()) return false;
    keyJob_ = std::make_unique<SyncKeyJob>(derive_);
    keyJob_->start(run_.keyRequest());
    timer_->setInterval(kKeyPollMs);
    return true;
}

bool SyncProgressWindow::keyArrived() {
    keyed_ = true;
    timer_->setInterval(0);
    const std::optional<SyncKey> key = keyJob_->take();
    keyJob_.reset();
    return run_.useKey(key);
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
