#pragma once
#include "reports/PageItems.h"
#include <QString>
#include <vector>

namespace ql {

// What the user did in the preview: asked for the pages to be printed, and
// how many copies.
struct PreviewResult {
    bool print = false;
    int copies = 1;
};

// The printer, the preview and PDF files as the reports use them.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;

    // A default printer is set up.
    virtual bool hasPrinter() = 0;
    // The printer makes copies itself (otherwise the pages are repeated).
    virtual bool supportsCopies() = 0;
    virtual int copies() = 0;
    virtual void setCopies(int copies) = 0;

    // One print job, its pages sent as they come. beginJob() is false when
    // the printer does not start; errorText() then says why.
    virtual bool beginJob(const QString& title) = 0;
    virtual bool printPage(const ReportPage& page) = 0;
    virtual bool endJob() = 0;
    // Ends the job at once; pages not yet handed to the printer are dropped.
    virtual void abortJob() = 0;
    virtual QString errorText() = 0;

    // Shows the pages, starting at `zoom` percent. The preview also offers
    // to save them as a PDF file.
    virtual PreviewResult preview(const std::vector<ReportPage>& pages, int zoom, const QString& title) = 0;
    // Writes the pages to a PDF file readable by its owner alone; an empty
    // text on success, else what went wrong.
    virtual QString writePdf(const std::vector<ReportPage>& pages, const QString& fileName) = 0;
};

// The pages as the printer is to get them for `copies` copies: unchanged when
// the printer makes copies itself, else the whole run repeated.
std::vector<ReportPage> handleCopies(const std::vector<ReportPage>& pages, int copies, bool printerCopies);

} // namespace ql
