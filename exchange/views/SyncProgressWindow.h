#pragma once
#include "exchange/SyncKeyJob.h"
#include "exchange/SyncRun.h"
#include <QDialog>

class QLabel;
class QTimer;

namespace ql {

class IniStore;

// "Processing Records": derives the run's key on another thread, then runs
// the send or the receive in batches on its timer, shows the percentage done
// and ends the run early on "Cancel" (or Escape, or closing the window), the
// derivation included. Closes itself when the run has ended.
class SyncProgressWindow : public QDialog {
    Q_OBJECT
public:
    // `status` is the text under the percentage ("Sending" or empty); the
    // window's place is kept under `section`.
    SyncProgressWindow(SyncRun& run, const QString& status, const QString& section, IniStore& positions,
                       QWidget* parent = nullptr);

    // Runs the whole run modally; its outcome() tells how it ended.
    void runModal();
    // How the key is derived (tests put in a slow one).
    void setKeyDerivation(SyncKeyJob::Derive derive) { derive_ = std::move(derive); }

public slots:
    void reject() override;
    void done(int result) override;

private:
    void tick();
    bool begin();
    bool keyArrived();
    void showPercent();

    SyncRun& run_;
    QString section_;
    IniStore& positions_;
    QLabel* percent_ = nullptr;
    QTimer* timer_ = nullptr;
    SyncKeyJob::Derive derive_ = SyncKey::derive;
    std::unique_ptr<SyncKeyJob> keyJob_;
    bool started_ = false;
    bool keyed_ = false;
    bool ended_ = false;
};

} // namespace ql
