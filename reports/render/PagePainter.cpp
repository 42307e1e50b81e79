#include "reports/render/PagePainter.h"
#include "reports/render/QtTextMeasure.h"
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace ql {

namespace {

constexpr int kLineWidth = 10;

Qt::Alignment alignmentOf(TextAlign align) {
    switch (align) {
    case TextAlign::Center: return Qt::AlignHCenter;
    case TextAlign::Right: return Qt::AlignRight;
    case TextAlign::Left: break;
    }
    return Qt::AlignLeft;
}

void drawText(QPainter& painter, const PlacedText& t) {
    painter.setFont(qtFont(t.font));
    painter.setPen(QColor(QRgb(0xFF000000u | t.font.colour)));
    painter.drawText(QRectF(t.x, t.y, t.width, t.height),
                     int(alignmentOf(t.align) | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextDontClip, t.text);
}

void drawCheck(QPainter& painter, const PlacedCheck& c) {
    painter.setPen(QPen(Qt::black, kLineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(c.x, c.y, c.size, c.size));
    if (c.checked) {
        QPainterPath tick;
        tick.moveTo(c.x + c.size * 0.2, c.y + c.size * 0.5);
        tick.lineTo(c.x + c.size * 0.42, c.y + c.size * 0.78);
        tick.lineTo(c.x + c.size * 0.82, c.y + c.size * 0.2);
        painter.setPen(QPen(Qt::black, kLineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
    }
    drawText(painter, c.label);
}

} // namespace

void scaleToReportUnits(QPainter& painter, const QPaintDevice& device) {
    painter.scale(device.logicalDpiX() / double(kUnitsPerInch), device.logicalDpiY() / double(kUnitsPerInch));
}

void drawReportPage(QPainter& painter, const ReportPage& page) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, kLineWidth));
    painter.setBrush(Qt::NoBrush);
    for (const PlacedBox& b : page.boxes) painter.drawRect(QRectF(b.x, b.y, b.width, b.height));
    for (const PlacedCheck& c : page.checks) drawCheck(painter, c);
    for (const PlacedText& t : page.texts) drawText(painter, t);
    painter.restore();
}

} // namespace ql
