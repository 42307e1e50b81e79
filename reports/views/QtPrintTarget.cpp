#include "reports/views/QtPrintTarget.h"
#include "reports/ReportProcedure.h"
#include "reports/render/PagePainter.h"
#include "reports/render/PdfFile.h"
#include "reports/views/ReportPreviewDialog.h"
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace ql {

QtPrintTarget::QtPrintTarget(FileDialogs& files, Prompter& prompter, QWidget* parent)
    : files_(files), prompter_(prompter), parent_(parent) {}

QtPrintTarget::~QtPrintTarget() {
    if (painter_.isActive()) abortJob();
}

bool QtPrintTarget::hasPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

// The default printer, made on first use and kept for the run.
QPrinter* QtPrintTarget::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer_->setFullPage(true); // report places are measured from the paper's edge
        printer_->setPageSize(QPageSize(QPageSize::Letter));
    }
    return printer_.get();
}

bool QtPrintTarget::supportsCopies() { return printer()->supportsMultipleCopies(); }

int QtPrintTarget::copies() { return printer()->copyCount(); }

void QtPrintTarget::setCopies(int copies) { printer()->setCopyCount(copies); }

bool QtPrintTarget::beginJob(const QString& title) {
    QPrinter* p = printer();
    title_ = title;
    p->setDocName(title);
    firstPage_ = true;
    if (p->printerName().isEmpty() || !painter_.begin(p)) {
        error_ = QStringLiteral("The printer \"%1\" could not be started.").arg(p->printerName());
        return false;
    }
    return true;
}

bool QtPrintTarget::printPage(const ReportPage& page) {
    if (!painter_.isActive()) return false;
    if (!firstPage_ && !printer_->newPage()) {
        error_ = QStringLiteral("The printer \"%1\" stopped taking pages.").arg(printer_->printerName());
        return false;
    }
    firstPage_ = false;
    painter_.save();
    scaleToReportUnits(painter_, *printer_);
    drawReportPage(painter_, page);
    painter_.restore();
    return true;
}

bool QtPrintTarget::endJob() {
    if (!painter_.isActive()) return false;
    if (painter_.end() && printer_->printerState() != QPrinter::Error) return true;
    error_ = QStringLiteral("The printer \"%1\" did not take the report.").arg(printer_->printerName());
    return false;
}

void QtPrintTarget::abortJob() {
    if (!painter_.isActive()) return;
    printer_->abort();
    painter_.end();
}

PreviewResult QtPrintTarget::preview(const std::vector<ReportPage>& pages, int zoom, const QString& title) {
    title_ = title;
    ReportPreviewDialog dialog(pages, zoom, title, hasPrinter(), parent_);
    dialog.setSaver([this, &title](const std::vector<ReportPage>& shown) {
        savePagesAsPdf(shown, title + QStringLiteral(".pdf"), files_, prompter_, *this);
    });
    dialog.exec();
    return dialog.result();
}

QString QtPrintTarget::writePdf(const std::vector<ReportPage>& pages, const QString& fileName) {
    return writePdfFile(pages, fileName, title_);
}

} // namespace ql
