#pragma once
#include "exchange/ImportSetup.h"
#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace ql {

class IniStore;
class Prompter;

// "Assign fields for Import...": the file's columns with their pictures and
// values on the current line, the entry fields with the column assigned to
// each. "&OK" hands over to the run (the progress window), then closes.
class ImportPasswordsWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("ImportPasswords");
    using Run = std::function<void(bool skipHeader)>;

    ImportPasswordsWindow(ImportSetup& setup, Prompter& prompter, IniStore& positions, Run run,
                          QWidget* parent = nullptr);

public slots:
    void accept() override; // "&OK"
    void done(int result) override;

private:
    QWidget* buildButtons();
    void refresh();
    void next();
    void assign();
    void unassign();
    void autoAssign();
    void enterPicture();
    void sourceChosen();
    void targetChosen();

    ImportSetup& setup_;
    Prompter& prompter_;
    IniStore& positions_;
    Run run_;
    QTreeWidget* sources_ = nullptr;
    QTreeWidget* targets_ = nullptr;
    QLabel* record_ = nullptr;
    QCheckBox* stripHeader_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* auto_ = nullptr;
    QPushButton* unassign_ = nullptr;
    bool following_ = false; // one list is following the other's selection
};

} // namespace ql
