#pragma once
#include "entries/EntryForm.h"
#include <QString>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace ql {

class LimitedTextEdit;
class RefreshingComboBox;

// The Paste and Copy buttons of one field.
struct FieldButtons {
    QString field;  // "P_:SERVICE"
    QWidget* entry; // the field's QLineEdit or LimitedTextEdit
    QPushButton* paste;
    QPushButton* copy;
};

// Every control of the entry form. Controls that a variant does not have stay null.
struct EntryFormControls {
    QTabWidget* pages = nullptr;
    QLineEdit *service = nullptr, *url = nullptr, *name = nullptr, *password = nullptr,
              *confirm = nullptr;
    QPushButton* generate = nullptr;
    LimitedTextEdit *notes = nullptr, *moreNotes = nullptr;
    std::vector<FieldButtons> fieldButtons;

    QComboBox* sendText = nullptr;
    QPushButton *listKeys = nullptr, *addToDefaults = nullptr;
    QSpinBox* wait = nullptr;
    QCheckBox* directSend = nullptr;
    RefreshingComboBox* windowTitle = nullptr;
    QPushButton* advanced = nullptr;
    QCheckBox* monitor = nullptr;
    QSpinBox* repeat = nullptr;
    QLabel *repeatLabel = nullptr, *repeatText = nullptr;
    QPushButton* tip = nullptr;

    QLineEdit* expiryDate = nullptr;
    QPushButton* selectExpiry = nullptr;
    QSpinBox* expiryInterval = nullptr;

    QLineEdit *program = nullptr, *storedFile = nullptr;
    QPushButton *selectProgram = nullptr, *testProgram = nullptr, *encrypt = nullptr,
                *saveToDisk = nullptr;

    QLabel* clipboardLabel = nullptr;
    QLineEdit* clipboard = nullptr;
    QLabel* lastChanged = nullptr;
    QPushButton *ok = nullptr, *cancel = nullptr;
};

// Builds the form's pages and buttons into `dialog` for a variant; field
// widths come from the Passwords layout.
EntryFormControls buildEntryForm(QDialog& dialog, EntryFormVariant variant);

} // namespace ql
