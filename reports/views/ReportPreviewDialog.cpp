#include "reports/views/ReportPreviewDialog.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "reports/render/PagePainter.h"
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ql {

// One page on white paper at the zoom.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {}
    void display(const ReportPage* page, int zoom) {
        page_ = page;
        zoom_ = zoom;
        const double scale = logicalDpiX() / double(kUnitsPerInch) * zoom_ / 100.0;
        setFixedSize(int(page->width * scale), int(page->height * logicalDpiY() / double(kUnitsPerInch) * zoom_ / 100.0));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!page_) return;
        scaleToReportUnits(painter, *this);
        painter.scale(zoom_ / 100.0, zoom_ / 100.0);
        drawReportPage(painter, *page_);
    }

private:
    const ReportPage* page_ = nullptr;
    int zoom_ = 100;
};

namespace {
const int kZooms[] = {50, 75, 100, 125, 150, 200};
} // namespace

ReportPreviewDialog::ReportPreviewDialog(const std::vector<ReportPage>& pages, int zoom, const QString& title,
                                         bool canPrint, QWidget* parent)
    : QDialog(parent), pages_(pages) {
    setWindowTitle(QStringLiteral("Report Preview - ") + title);
    view_ = new PageView(this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildBar(canPrint));
    layout->addWidget(scroll_, 1);
    resize(900, 700);
    zoom_->setCurrentIndex(std::max(0, zoom_->findData(zoom)));
    setZoom(zoom);
    showPage(0);
}

QWidget* ReportPreviewDialog::buildBar(bool canPrint) {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto addButton = [&](const QString& text, const QString& name, auto slot) {
        auto* button = new QPushButton(text, bar);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        row->addWidget(button);
        return button;
    };
    QPushButton* printButton = addButton(QStringLiteral("&Print"), QStringLiteral("print"), &ReportPreviewDialog::print);
    printButton->setEnabled(canPrint);
    if (!canPrint) printButton->setToolTip(QStringLiteral("No printer is set up: save the report as a PDF instead"));
    auto* copiesLabel = new QLabel(QStringLiteral("C&opies:"), bar);
    row->addWidget(copiesLabel);
    copies_ = new QSpinBox(bar);
    copiesLabel->setBuddy(copies_);
    copies_->setRange(1, 99);
    copies_->setEnabled(canPrint);
    row->addWidget(copies_);
    addButton(QStringLiteral("Save as P&DF..."), QStringLiteral("savePdf"), &ReportPreviewDialog::savePdf);
    addButton(QStringLiteral("<"), QStringLiteral("previous"), [this] { showPage(current_ - 1); });
    position_ = new QLabel(bar);
    position_->setObjectName(QStringLiteral("position"));
    row->addWidget(position_);
    addButton(QStringLiteral(">"), QStringLiteral("next"), [this] { showPage(current_ + 1); });
    zoom_ = new QComboBox(bar);
    for (int z : kZooms) zoom_->addItem(QStringLiteral("%1%").arg(z), z);
    connect(zoom_, &QComboBox::activated, this, [this] { setZoom(zoom_->currentData().toInt()); });
    row->addWidget(zoom_);
    row->addStretch(1);
    addButton(QStringLiteral("&Close"), QStringLiteral("close"), &QDialog::reject);
    return bar;
}

void ReportPreviewDialog::setZoom(int percent) {
    view_->display(&pages_[size_t(current_)], percent);
}

void ReportPreviewDialog::showPage(int index) {
    if (pages_.empty()) return;
    current_ = std::clamp(index, 0, int(pages_.size()) - 1);
    view_->display(&pages_[size_t(current_)], zoom_->currentData().toInt());
    position_->setText(QStringLiteral("Page %1 of %2").arg(current_ + 1).arg(pages_.size()));
}

void ReportPreviewDialog::keepPlaceIn(IniStore& positions) {
    positions_ = &positions;
    WidgetWindow window(*this);
    positions.restoreWindow(kSection, window);
}

void ReportPreviewDialog::done(int result) {
    if (positions_) positions_->saveWindow(kSection, WidgetWindow(*this));
    QDialog::done(result);
}

void ReportPreviewDialog::print() {
    result_ = {true, copies_->value()};
    accept();
}

void ReportPreviewDialog::savePdf() {
    if (saver_) saver_(pages_);
}

void ReportPreviewDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown: showPage(current_ + 1); return;
    case Qt::Key_PageUp: showPage(current_ - 1); return;
    case Qt::Key_Home: if (event->modifiers() & Qt::ControlModifier) { showPage(0); return; } break;
    case Qt::Key_End: if (event->modifiers() & Qt::ControlModifier) { showPage(int(pages_.size()) - 1); return; } break;
    default: break;
    }
    QDialog::keyPressEvent(event);
}

} // namespace ql
