#include "reports/render/PdfFile.h"
#include "reports/render/PagePainter.h"
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include "platform/core/PrivateFile.h"

namespace ql {

namespace {

constexpr int kPdfResolution = 1200;

QPageSize pageSizeOf(const ReportPage& page) {
    return QPageSize(QSizeF(page.width / double(kUnitsPerInch), page.height / double(kUnitsPerInch)),
                     QPageSize::Inch, QString(), QPageSize::ExactMatch);
}

} // namespace

QString writePdfFile(const std::vector<ReportPage>& pages, const QString& fileName, const QString& title) {
    if (pages.empty()) return QStringLiteral("The report has no pages.");
    QSaveFile file(fileName);
    // Whether others may read it on a drive without modes was asked before.
    if (QString error = private_file::open(file, private_file::Privacy::BestEffort); !error.isEmpty())
        return error;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quillock"));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageSize(pageSizeOf(pages.front()));
        QPainter painter(&writer);
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.setPageSize(pageSizeOf(pages[i]));
                writer.newPage();
            }
            painter.save();
            scaleToReportUnits(painter, writer);
            drawReportPage(painter, pages[i]);
            painter.restore();
        }
        if (!painter.end()) {
            file.cancelWriting();
            return QStringLiteral("The PDF file could not be written.");
        }
    }
    return private_file::commit(file);
}

} // namespace ql
