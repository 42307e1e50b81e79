#pragma once
#include "reports/views/PrinterChoice.h"
#include <QDialog>
#include <QStringList>

class QComboBox;

namespace ql {

// "Print Setup": the printer the reports print on and the paper they are
// laid out for.
class PrintSetupDialog : public QDialog {
    Q_OBJECT
public:
    // `printers` by name; `defaultPrinter` is shown first when nothing was
    // chosen yet.
    PrintSetupDialog(const PrinterChoice& current, const QStringList& printers,
                     const QString& defaultPrinter, QWidget* parent = nullptr);

    // What the dialog shows now.
    PrinterChoice choice() const;

    static const std::vector<QPageSize::PageSizeId>& paperSizes();

private:
    QComboBox* printer_ = nullptr;
    QComboBox* paper_ = nullptr;
};

// Shows "Print Setup" for `choice`, which takes what is confirmed there.
void runPrintSetup(PrinterChoice& choice, QWidget* parent);

} // namespace ql
