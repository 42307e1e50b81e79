#pragma once
#include "exchange/ExportFieldList.h"
#include "exchange/views/ExchangeContext.h"
#include "platform/recordstore/DataTable.h"
#include <QDialog>

class QCheckBox;
class QLabel;

namespace ql {

class MarkingList;

// "Choose Fields for Export...": once open it asks for the user; then the
// fields to write, their order and pictures are chosen, and "&OK" writes the
// user's entries to the file chosen in the save dialog.
class ExportPasswordsWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("ExportPasswords");

    ExportPasswordsWindow(ExchangeContext& context, QWidget* parent = nullptr);
    // The entries written by the last "&OK", -1 when none was written.
    int exported() const { return exported_; }

public slots:
    void accept() override; // "&OK"
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildButtons();
    void chooseUser();
    void add();
    void remove();
    void shift(bool up);
    void enterPicture();
    void refreshExportList(int current);
    void refreshPictureDisplay();
    void warn(const QString& text);

    ExchangeContext& context_;
    ExportFieldList fields_;
    DataTable passwords_;
    Record user_;
    MarkingList* all_ = nullptr;
    MarkingList* chosen_ = nullptr;
    QLabel* picture_ = nullptr;
    QCheckBox* header_ = nullptr;
    bool userAsked_ = false;
    int exported_ = -1;
};

} // namespace ql
