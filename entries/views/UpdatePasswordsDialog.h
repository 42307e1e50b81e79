#pragma once
#include "entries/UpdatePasswords.h"
#include "entries/views/EntryFormLayout.h"
#include <QDialog>
#include <functional>

class QTimer;

namespace ql {

class IniStore;

// What the entry form opens besides itself.
struct EntryFormTools {
    IniStore& positions;
    const Clock& clock;
    Prompter& prompter;
    // "Generate New Password": fills P_:PASSWORD and P_:CONFIRMPASSWORD of the
    // entry; true when it did. Empty: the button stays disabled.
    std::function<bool(Record& entry, QWidget* parent)> generate;
};

// The password entry form: a thin view over UpdatePasswords.
class UpdatePasswordsDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("UpdatePasswords");

    // `logic` must be open.
    UpdatePasswordsDialog(UpdatePasswords& logic, EntryFormVariant variant, EntryFormTools tools,
                          QWidget* parent = nullptr);

    const EntryFormControls& controls() const { return c_; }

public slots:
    void done(int result) override;
    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    void showRecord();
    void showPasswords();
    void fillLists();
    void connectGeneral();
    void connectFieldButtons();
    void connectSendSettings();
    void connectExpiry();
    void connectFiles();
    void connectBottom();
    void connectLengthLimits();
    void applyEnabling();
    void refreshTitles();
    void refreshClipboard();
    void addToDefaults();
    void openAdvanced();
    void selectExpiry();
    bool acceptExpiry();
    void testProgram();
    void pressOk();
    void focusOn(EntryControl control);
    void focusOn(QWidget* control);
    void makeReadOnly();
    int fieldOf(const char* name) const;

    UpdatePasswords& logic_;
    EntryFormVariant variant_;
    EntryFormTools tools_;
    EntryFormControls c_;
    QTimer* clipboardTimer_ = nullptr;
    bool showing_ = false;
};

} // namespace ql
