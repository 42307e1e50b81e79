#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

namespace ql {

// The window of a long run over records: a percentage text and "Cancel". The
// run does one batch of its work per tick of the window's timer, so the
// window answers between batches.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    struct Work {
        std::function<bool()> step;          // one batch; false once the run is over
        std::function<QString()> percentText; // "nn% Completed", "Process Completed"
        std::function<void()> cancel;        // ends the run after the current batch
    };

    ProgressWindow(const QString& title, Work work, QWidget* parent = nullptr);
    // Shows the window modally and runs the work to its end or its cancel.
    void run();
    bool cancelled() const { return cancelled_; }

public slots:
    void reject() override; // "Cancel", Escape and closing the window

private:
    void tick();

    Work work_;
    QLabel* percent_ = nullptr;
    QTimer* timer_ = nullptr;
    bool cancelled_ = false;
};

} // namespace ql
