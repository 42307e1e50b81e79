#pragma once
#include <QDialog>

class QLabel;
class QTimer;

namespace ql {

class IniStore;
class ReportSession;

// The progress window of a report: its title, the user text, the percentage
// and "Cancel". Each tick of its timer prints a batch of entries; "Cancel",
// Escape or closing the window asks whether to stop.
class ReportProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ReportProgressWindow(ReportSession& session, QWidget* parent = nullptr);

    // Shows the window until the session is over.
    void run();
    // Puts the window where it was last closed and keeps its place there again.
    void keepPlaceIn(IniStore& positions);
    static inline const QString kSection = QStringLiteral("ReportProgress");

public slots:
    void reject() override;
    void done(int result) override;

private:
    void tick();
    void showPercent();

    ReportSession& session_;
    QLabel* percent_ = nullptr;
    QTimer* timer_ = nullptr;
    int shownPercent_ = -1;
    bool asking_ = false;
    IniStore* positions_ = nullptr;
};

} // namespace ql
