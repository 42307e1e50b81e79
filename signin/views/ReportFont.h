#pragma once
#include <QColor>
#include <QFont>
#include <QString>

namespace ql {

// The report font as the four texts kept in Configuration (FontType, FontSize,
// FontStyle, FontColour). The style is a decimal number: the weight (100-900)
// plus 4096 for italic, 8192 for underline and 16384 for strike-out. The colour
// is kept as text: a colour name ("#rrggbb", "navy") or a decimal 0x00BBGGRR value.
struct ReportFontTexts {
    QString type, size, style, colour;
    bool isBlank() const { return type.trimmed().isEmpty(); }
};

// The font the texts describe; parts that are blank or unreadable come from `base`.
QFont reportFont(const ReportFontTexts& texts, const QFont& base);
// The texts of a chosen font; the colour text is carried over unchanged.
ReportFontTexts reportFontTexts(const QFont& font, const QString& colour);
// The colour the text names; an invalid QColor when blank or unreadable.
QColor reportFontColour(const QString& colour);

} // namespace ql
