#pragma once
#include "store/OldTablesUpgrade.h"
#include <QDialog>

class QLabel;
class QProgressBar;

namespace ql {

// "Upgrading Files": shown while one old table is copied; the copy runs on
// the caller's stack, so every update lets the window paint.
class UpgradeProgressWindow : public QDialog, public UpgradeProgress {
    Q_OBJECT
public:
    explicit UpgradeProgressWindow(QWidget* parent = nullptr);

    void begin() override;
    void progress(qint64 processed, qint64 total) override;
    void end() override;

    QProgressBar* bar() const { return bar_; }
    QString countText() const;

private:
    QLabel* count_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

// Runs the upgrade of the previous version's tables with its windows.
void upgradeOldTables(RecordManagers& managers, Prompter& prompter);

} // namespace ql
