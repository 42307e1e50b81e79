#pragma once
#include "platform/core/Clock.h"
#include <QDialog>

class QLabel;
class QTimer;

namespace ql {

class IniStore;

// "Automatic Close Down": counts ten seconds down, then asks the program to
// close; "Cancel" keeps the program open.
class CloseDownWindow : public QDialog {
    Q_OBJECT
public:
    CloseDownWindow(Clock& clock, IniStore& positions, QWidget* parent = nullptr);
    QString countdownText() const;

signals:
    void closeDownNow();

public slots:
    void tick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    int64_t elapsed() const;

    Clock& clock_;
    IniStore& positions_;
    QLabel* countdown_ = nullptr;
    QTimer* timer_ = nullptr;
    int32_t startDay_ = 0;
    int32_t startTime_ = 0;
    bool restored_ = false;
};

} // namespace ql
