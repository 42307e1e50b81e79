#pragma once
#include "reports/PrintTarget.h"
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace ql {

class IniStore;
class PageView;

// The preview of a report's pages: one page at a time at a chosen zoom,
// paging, "Print" with a number of copies, and saving the pages as a PDF.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(const std::vector<ReportPage>& pages, int zoom, const QString& title, bool canPrint,
                        QWidget* parent = nullptr);

    // Saves the pages as a PDF: asks for the file and writes it.
    void setSaver(std::function<void(const std::vector<ReportPage>&)> saver) { saver_ = std::move(saver); }
    // Print was pressed, with the copies asked for.
    PreviewResult result() const { return result_; }
    int currentPage() const { return current_; }
    // Puts the window where it was last closed and keeps its place there again.
    void keepPlaceIn(IniStore& positions);
    static inline const QString kSection = QStringLiteral("ReportPreview");

public slots:
    void done(int result) override;
    void showPage(int index);
    void print();
    void savePdf();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildBar(bool canPrint);
    void setZoom(int percent);

    const std::vector<ReportPage>& pages_;
    std::function<void(const std::vector<ReportPage>&)> saver_;
    PreviewResult result_;
    int current_ = 0;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* position_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QComboBox* zoom_ = nullptr;
    IniStore* positions_ = nullptr;
};

} // namespace ql
