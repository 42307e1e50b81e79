#pragma once
#include "signin/PassphraseRules.h"
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace ql {

class Prompter;

// "Protect the data folder with a passphrase": a new passphrase for an open
// folder; for a protected one the passphrase in use and either a new one or
// "Turn the passphrase off". Shows the new passphrase's strength as it is
// typed and refuses one that is too short.
class PassphraseWindow : public QDialog {
    Q_OBJECT
public:
    PassphraseWindow(bool isProtected, Prompter& prompter, QWidget* parent = nullptr);
    // What was asked for; the entries are emptied once it has been read.
    PassphraseRequest takeRequest();

public slots:
    void accept() override;

private:
    PassphraseRequest request() const;
    void showStrength();

    bool protected_;
    Prompter& prompter_;
    QLineEdit *current_ = nullptr, *next_ = nullptr, *confirm_ = nullptr;
    QCheckBox* turnOff_ = nullptr;
    QLabel* strength_ = nullptr;
};

} // namespace ql
