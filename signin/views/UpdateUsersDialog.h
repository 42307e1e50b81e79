#pragma once
#include "signin/UpdateUsers.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace ql {

class IniStore;

// "Update User Information": the user form over UpdateUsers, with the tabs
// General, Preferences and Defaults. A delete shows the user read-only.
class UpdateUsersDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("UpdateUsers");
    static constexpr int kTextLength = 128;

    UpdateUsersDialog(UpdateUsers& logic, IniStore& positions, QWidget* parent = nullptr);

public slots:
    void accept() override;
    void done(int result) override;

private:
    QWidget* buildGeneral();
    QWidget* buildPreferences();
    QWidget* buildDefaults();
    void showUser();
    void takeUser();
    void makeReadOnly();

    UpdateUsers& logic_;
    IniStore& positions_;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* confirmation_ = nullptr;
    QLabel* lastChanged_ = nullptr;
    QCheckBox* showPasswords_ = nullptr;
    QSpinBox* passwordSize_ = nullptr;
    QComboBox* passwordType_ = nullptr;
    QComboBox* concatenation_ = nullptr;
    // The choices shown when the user was shown: a value left as it was is
    // never written back, so a stored spelling the list lacks survives.
    int shownType_ = -1;
    int shownConcatenation_ = -1;
};

} // namespace ql
