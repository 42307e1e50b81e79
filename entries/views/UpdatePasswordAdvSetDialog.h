#pragma once
#include "entries/EntryForm.h"
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace ql {

class IniStore;
class Record;

// "Advanced Settings" of an entry's send: the text that confirms the window
// and, in the main program, the direct way of sending. Edits the entry's
// buffer directly; "Cl&ose" closes it.
class UpdatePasswordAdvSetDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("UpdatePasswordAdvSet");

    UpdatePasswordAdvSetDialog(Record& entry, EntryFormVariant variant, IniStore& positions,
                               QWidget* parent = nullptr);

public slots:
    void done(int result) override;

private:
    Record& entry_;
    IniStore& positions_;
    QLineEdit* contents_ = nullptr;
    QCheckBox* directSend_ = nullptr;
};

// Runs the window modally over the entry.
void runUpdatePasswordAdvSet(Record& entry, EntryFormVariant variant, IniStore& positions,
                             QWidget* parent = nullptr);

} // namespace ql
