#pragma once
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "reports/PrintTarget.h"
#include "reports/views/PrinterChoice.h"
#include <QPainter>
#include <memory>

class QPdfWriter;
class QWidget;

namespace ql {

class CupsJob;
class IniStore;

// The printer chosen in "Print Setup" (else the desktop's default) through
// CUPS, our own preview window and PDF files. Printed pages go to the scheduler as a PDF document written straight
// into the job, never through a file.
class QtPrintTarget : public PrintTarget {
public:
    // The preview keeps its place in `positions`.
    QtPrintTarget(FileDialogs& files, Prompter& prompter, IniStore& positions, QWidget* parent,
                  const PrinterChoice& printer = {});
    ~QtPrintTarget() override;

    bool hasPrinter() override;
    bool supportsCopies() override { return true; } // the scheduler makes them
    int copies() override;
    void setCopies(int copies) override { copies_ = copies; }
    bool beginJob(const QString& title) override;
    bool printPage(const ReportPage& page) override;
    bool endJob() override;
    void abortJob() override;
    QString errorText() override { return error_; }
    PreviewResult preview(const std::vector<ReportPage>& pages, int zoom, const QString& title) override;
    QString writePdf(const std::vector<ReportPage>& pages, const QString& fileName) override;

private:
    void closeJob();

    FileDialogs& files_;
    Prompter& prompter_;
    IniStore& positions_;
    QWidget* parent_;
    PrinterChoice printer_;
    QString destination_;
    int copies_ = 0; // 0 until read from the printer
    std::unique_ptr<CupsJob> job_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    bool firstPage_ = true;
    QString title_;
    QString error_;
};

} // namespace ql
