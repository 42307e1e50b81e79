#pragma once
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "reports/PrintTarget.h"
#include <QPainter>
#include <memory>

class QPrinter;
class QWidget;

namespace ql {

// The desktop's default printer (through CUPS), our own preview window and
// PDF files.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget(FileDialogs& files, Prompter& prompter, QWidget* parent);
    ~QtPrintTarget() override;

    bool hasPrinter() override;
    bool supportsCopies() override;
    int copies() override;
    void setCopies(int copies) override;
    bool beginJob(const QString& title) override;
    bool printPage(const ReportPage& page) override;
    bool endJob() override;
    void abortJob() override;
    QString errorText() override { return error_; }
    PreviewResult preview(const std::vector<ReportPage>& pages, int zoom, const QString& title) override;
    QString writePdf(const std::vector<ReportPage>& pages, const QString& fileName) override;

private:
    QPrinter* printer();

    FileDialogs& files_;
    Prompter& prompter_;
    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    bool firstPage_ = true;
    QString title_;
    QString error_;
};

} // namespace ql
