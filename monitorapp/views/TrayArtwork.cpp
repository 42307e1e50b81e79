#include "monitorapp/views/TrayArtwork.h"
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

namespace ql {

namespace {

const QColor kGold(0xd4, 0xa0, 0x17);
const QColor kGoldEdge(0x6b, 0x4e, 0x05);
const QColor kRed(0xc8, 0x1e, 0x1e);
const QColor kGreen(0x2e, 0xa0, 0x43);
const QColor kUnlit(0x9a, 0x9a, 0x9a, 0x90);

void drawKey(QPainter& p, const QRectF& box) {
    const qreal s = box.width() / 32.0;
    p.save();
    p.translate(box.topLeft());
    p.scale(s, s);
    QPainterPath key;
    key.addEllipse(QPointF(9, 16), 7, 7);
    key.addRect(15, 14, 15, 4);
    key.addRect(22, 18, 3, 5);
    key.addRect(27, 18, 3, 4);
    QPainterPath hole;
    hole.addEllipse(QPointF(9, 16), 3, 3);
    p.setPen(QPen(kGoldEdge, 1.2));
    p.setBrush(kGold);
    p.drawPath(key.simplified().subtracted(hole));
    p.restore();
}

void drawRedDisc(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QRectF(1, 1, TrayArtwork::kSize - 2, TrayArtwork::kSize - 2));
}

// Five bars of rising height, the first `lit` of them coloured.
void drawBars(QPainter& p, int lit, const QColor& colour) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        const qreal height = 8 + i * 5;
        p.setBrush(i < lit ? colour : kUnlit);
        p.drawRoundedRect(QRectF(2 + i * 6, TrayArtwork::kSize - 2 - height, 4, height), 1, 1);
    }
}

// The list's mark of a watched entry: a pair of spectacles.
void drawGlasses(QPainter& p) {
    p.setPen(QPen(QColor(0x20, 0x30, 0x60), 2.4));
    p.setBrush(QColor(0xb8, 0xd8, 0xf0));
    p.drawEllipse(QPointF(9, 18), 6, 6);
    p.drawEllipse(QPointF(23, 18), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13, 13, 6, 6), 30 * 16, 120 * 16);
    p.drawLine(QPointF(3, 16), QPointF(1, 11));
    p.drawLine(QPointF(29, 16), QPointF(31, 11));
}

// The list's mark of an expired entry.
void drawRedBox(QPainter& p) {
    p.setPen(QPen(kRed.darker(140), 1.5));
    p.setBrush(kRed);
    p.drawRect(QRectF(7, 7, 18, 18));
}

QImage paint(const QString& name) {
    QImage image(TrayArtwork::kSize, TrayArtwork::kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    static const QRegularExpression bars(QStringLiteral("^(r?)bar([1-5])_ico$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch frame = bars.match(name);
    if (name.compare(QLatin1String("~glasses.ico"), Qt::CaseInsensitive) == 0) {
        drawGlasses(p);
    } else if (name.compare(QLatin1String("~redbox.ico"), Qt::CaseInsensitive) == 0) {
        drawRedBox(p);
    } else if (name.compare(QLatin1String("~blank.ico"), Qt::CaseInsensitive) == 0) {
        // nothing drawn: the entry needs no mark
    } else if (frame.hasMatch()) {
        const bool red = !frame.captured(1).isEmpty();
        drawBars(p, frame.captured(2).toInt(), red ? kRed : kGreen);
        drawKey(p, QRectF(0, 0, 18, 18));
    } else {
        if (name.compare(QLatin1String("RED_ICO"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("~RED.ico"), Qt::CaseInsensitive) == 0)
            drawRedDisc(p);
        drawKey(p, QRectF(0, 0, TrayArtwork::kSize, TrayArtwork::kSize));
    }
    return image;
}

} // namespace

QImage TrayArtwork::image(const QString& name) {
    static QHash<QString, QImage> drawn;
    auto it = drawn.find(name);
    if (it == drawn.end()) it = drawn.insert(name, paint(name));
    return *it;
}

QIcon TrayArtwork::icon(const QString& name) { return QIcon(QPixmap::fromImage(image(name))); }

} // namespace ql
