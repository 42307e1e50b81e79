#pragma once
#include "signin/UserSelection.h"
#include <QDialog>

class QLineEdit;

namespace ql {

class IniStore;
class ProgramServices;

// "Security Check": asks for the password of the window's current user.
class ConfirmPasswordDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("ConfirmPassword");
    static constexpr int kMaxLength = 128;

    // bringToFront: restore and raise the prompt over other programs (the
    // monitor program asks from the tray).
    ConfirmPasswordDialog(IniStore& positions, bool bringToFront, QWidget* parent = nullptr);

    // The typed text; the entry is emptied once it has been read.
    QString takeTyped();

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    IniStore& positions_;
    bool bringToFront_;
    QLineEdit* entry_ = nullptr;
};

// Brings a window in front of other programs, restoring it when minimized.
void bringToForeground(QWidget& window);

// The prompt the selection logic calls: shows ConfirmPasswordDialog modally.
PasswordPrompt passwordPrompt(IniStore& positions, ProgramKind kind, QWidget* parent);

// Confirms the password of `user` (the caller's current user): 1 when confirmed
// or not required, 2 when cancelled or wrong.
int runConfirmPassword(ProgramServices& services, Record& user, QWidget* parent = nullptr);

} // namespace ql
