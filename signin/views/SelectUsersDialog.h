#pragma once
#include "signin/UserSelection.h"
#include <QDialog>

class QTreeWidget;

namespace ql {

class IniStore;
class ProgramServices;

// "Select User": the users in name order; "&Select" confirms the highlighted
// user's password and closes with that user chosen.
class SelectUsersDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("SelectUsers");

    // `selection` must be open. The monitor program brings the window to the front.
    SelectUsersDialog(UserSelection& selection, IniStore& positions, ProgramKind kind,
                      QWidget* parent = nullptr);
    void setPasswordPrompt(PasswordPrompt prompt) { prompt_ = std::move(prompt); }

    // Presses "&Select" at once when there is a single user, else shows the
    // window modally. 1 when a user was chosen, 2 when cancelled.
    int run();

public slots:
    void pressSelect();
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    UserSelection& selection_;
    IniStore& positions_;
    bool bringToFront_;
    bool shown_ = false; // a window pressed at once never showed: its place is not saved
    PasswordPrompt prompt_;
    QTreeWidget* list_ = nullptr;
};

// Runs "Select User" for one window: on return `currentUser` holds the chosen
// user (1), or is cleared (2; "No User Selected" in the monitor program).
int runSelectUsers(ProgramServices& services, Record& currentUser, QWidget* parent = nullptr);

// The monitor program's user choice: "Select User", with "No User Selected"
// standing in after a cancel.
int selectMonitorUser(ProgramServices& services, Record& user, QWidget* parent = nullptr);

} // namespace ql
