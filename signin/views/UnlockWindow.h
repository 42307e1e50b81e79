#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;

namespace ql {

// "Unlock Quillock": asks for the passphrase of a protected data folder at
// start-up, before any other window.
class UnlockWindow : public QDialog {
    Q_OBJECT
public:
    // retry: the last passphrase did not open the folder, and the window says so.
    explicit UnlockWindow(bool retry, QWidget* parent = nullptr);
    // The typed text; the entry is emptied once it has been read.
    QString takeTyped();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* entry_ = nullptr;
};

// Makes both programs ask through UnlockWindow.
void installUnlockWindow();

} // namespace ql
