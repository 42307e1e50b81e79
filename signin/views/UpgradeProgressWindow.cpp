#include "signin/views/UpgradeProgressWindow.h"
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace ql {

UpgradeProgressWindow::UpgradeProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Upgrading Files"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Version 2.1"), this));
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    layout->addWidget(bar_);
    count_ = new QLabel(this);
    layout->addWidget(count_);
    setMinimumWidth(320);
}

void UpgradeProgressWindow::begin() {
    bar_->setValue(0);
    count_->clear();
    show();
    QApplication::processEvents();
}

void UpgradeProgressWindow::progress(qint64 processed, qint64 total) {
    if (total != 0) bar_->setValue(int(processed * 100 / total));
    count_->setText(QStringLiteral("%1 out of %2 Processed").arg(processed).arg(total));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void UpgradeProgressWindow::end() {
    hide();
    QApplication::processEvents();
}

QString UpgradeProgressWindow::countText() const { return count_->text(); }

void upgradeOldTables(RecordManagers& managers, Prompter& prompter) {
    UpgradeProgressWindow window;
    OldTablesUpgrade upgrade(managers, prompter, window);
    upgrade.run();
}

} // namespace ql
