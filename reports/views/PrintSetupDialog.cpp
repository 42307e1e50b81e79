#include "reports/views/PrintSetupDialog.h"
#include "reports/render/CupsJob.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace ql {

PrintSetupDialog::PrintSetupDialog(const PrinterChoice& current, const QStringList& printers,
                                   const QString& defaultPrinter, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Print Setup"));
    printer_ = new QComboBox;
    printer_->setObjectName(QStringLiteral("printer"));
    printer_->addItems(printers);
    const QString shown = current.destination.isEmpty() ? defaultPrinter : current.destination;
    printer_->setCurrentIndex(std::max(0, int(printers.indexOf(shown))));
    paper_ = new QComboBox;
    paper_->setObjectName(QStringLiteral("paperSize"));
    for (QPageSize::PageSizeId id : paperSizes()) {
        paper_->addItem(QPageSize::name(id), int(id));
        if (id == current.pageSize) paper_->setCurrentIndex(paper_->count() - 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Printer:"), printer_);
    form->addRow(QStringLiteral("Paper &Size:"), paper_);
    form->addRow(buttons);
}

PrinterChoice PrintSetupDialog::choice() const {
    return {printer_->currentText(), QPageSize::PageSizeId(paper_->currentData().toInt())};
}

const std::vector<QPageSize::PageSizeId>& PrintSetupDialog::paperSizes() {
    static const std::vector<QPageSize::PageSizeId> sizes{
        QPageSize::A4, QPageSize::A5, QPageSize::B5, QPageSize::Executive, QPageSize::Legal,
        QPageSize::Letter};
    return sizes;
}

void runPrintSetup(PrinterChoice& choice, QWidget* parent) {
    PrintSetupDialog dialog(choice, CupsJob::destinations(), CupsJob::defaultDestination(), parent);
    if (dialog.exec() == QDialog::Accepted) choice = dialog.choice();
}

} // namespace ql
