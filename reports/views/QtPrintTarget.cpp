#include "reports/views/QtPrintTarget.h"
#include "reports/ReportProcedure.h"
#include "reports/render/CupsJob.h"
#include "reports/render/PagePainter.h"
#include "reports/render/PdfFile.h"
#include "reports/views/ReportPreviewDialog.h"
#include <QPdfWriter>

namespace ql {

QtPrintTarget::QtPrintTarget(FileDialogs& files, Prompter& prompter, IniStore& positions, QWidget* parent,
                             const PrinterChoice& printer)
    : files_(files), prompter_(prompter), positions_(positions), parent_(parent), printer_(printer) {}

QtPrintTarget::~QtPrintTarget() { abortJob(); }

bool QtPrintTarget::hasPrinter() {
    if (destination_.isEmpty())
        destination_ = printer_.destination.isEmpty() ? CupsJob::defaultDestination() : printer_.destination;
    return !destination_.isEmpty();
}

int QtPrintTarget::copies() {
    if (copies_ == 0) copies_ = hasPrinter() ? CupsJob::defaultCopies(destination_) : 1;
    return copies_;
}

bool QtPrintTarget::beginJob(const QString& title) {
    title_ = title;
    firstPage_ = true;
    if (!hasPrinter()) {
        error_ = QStringLiteral("No printer is set up.");
        return false;
    }
    job_ = std::make_unique<CupsJob>();
    const QPageSize paper(printer_.pageSize);
    if (!job_->begin(destination_, title, copies(), paper.key())) {
        error_ = QStringLiteral("The printer \"%1\" did not take the report: %2").arg(destination_, job_->errorText());
        job_.reset();
        return false;
    }
    writer_ = std::make_unique<QPdfWriter>(job_.get());
    writer_->setResolution(1200);
    writer_->setTitle(title);
    writer_->setPageSize(paper);
    writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
    if (painter_.begin(writer_.get())) return true;
    error_ = QStringLiteral("The report could not be drawn for the printer \"%1\".").arg(destination_);
    abortJob();
    return false;
}

bool QtPrintTarget::printPage(const ReportPage& page) {
    if (!painter_.isActive()) return false;
    if (!firstPage_ && !writer_->newPage()) return false;
    firstPage_ = false;
    painter_.save();
    scaleToReportUnits(painter_, *writer_);
    drawReportPage(painter_, page);
    painter_.restore();
    if (!job_->errorText().isEmpty()) {
        error_ = QStringLiteral("The printer \"%1\" stopped taking pages: %2").arg(destination_, job_->errorText());
        return false;
    }
    return true;
}

bool QtPrintTarget::endJob() {
    if (!painter_.isActive()) return false;
    painter_.end();
    writer_.reset();
    const bool taken = job_->finish();
    if (!taken) error_ = QStringLiteral("The printer \"%1\" did not take the report: %2").arg(destination_, job_->errorText());
    job_.reset();
    return taken;
}

// The job is withdrawn first: ending the painter finishes the document, and
// that end must not reach the printer.
void QtPrintTarget::abortJob() {
    if (job_) job_->cancel();
    if (painter_.isActive()) painter_.end();
    writer_.reset();
    job_.reset();
}

PreviewResult QtPrintTarget::preview(const std::vector<ReportPage>& pages, int zoom, const QString& title) {
    title_ = title;
    ReportPreviewDialog dialog(pages, zoom, title, hasPrinter(), parent_);
    dialog.keepPlaceIn(positions_);
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
