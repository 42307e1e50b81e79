#include "signin/views/ReportFont.h"

namespace ql {

namespace {
constexpr int kItalic = 4096;
constexpr int kUnderline = 8192;
constexpr int kStrikeOut = 16384;
constexpr int kWeightMask = 4095;
} // namespace

QFont reportFont(const ReportFontTexts& texts, const QFont& base) {
    QFont font = base;
    if (!texts.type.trimmed().isEmpty()) font.setFamily(texts.type.trimmed());
    bool ok = false;
    const int points = texts.size.trimmed().toInt(&ok);
    if (ok && points > 0 && points <= 1000) font.setPointSize(points);
    const int style = texts.style.trimmed().toInt(&ok);
    if (ok && style >= 0) {
        const int weight = style & kWeightMask;
        if (weight >= 1 && weight <= 1000) font.setWeight(QFont::Weight(weight));
        font.setItalic(style & kItalic);
        font.setUnderline(style & kUnderline);
        font.setStrikeOut(style & kStrikeOut);
    }
    return font;
}

ReportFontTexts reportFontTexts(const QFont& font, const QString& colour) {
    int style = int(font.weight());
    if (font.italic()) style |= kItalic;
    if (font.underline()) style |= kUnderline;
    if (font.strikeOut()) style |= kStrikeOut;
    const int points = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    return {font.family(), QString::number(points), QString::number(style), colour};
}

QColor reportFontColour(const QString& colour) {
    const QString text = colour.trimmed();
    if (text.isEmpty()) return {};
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (ok) {
        if (value < 0 || value > 0xFFFFFF) return {};
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    }
    return QColor::fromString(text);
}

} // namespace ql
