#include "reports/render/QtTextMeasure.h"
#include <QTextLayout>
#include <cmath>

namespace ql {

namespace {

QString keyOf(const TextFont& s) {
    return QStringLiteral("%1|%2|%3|%4%5%6")
        .arg(s.family)
        .arg(s.points)
        .arg(s.weight)
        .arg(int(s.italic))
        .arg(int(s.underline))
        .arg(int(s.strikeOut));
}

} // namespace

QFont qtFont(const TextFont& style) {
    QFont font(style.family);
    font.setPixelSize(std::max(1, int(std::lround(style.points * kUnitsPerInch / 72.0))));
    font.setWeight(QFont::Weight(std::clamp(style.weight, 1, 1000)));
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    // Outlines without hinting measure the same on the screen, a printer and a PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::ForceOutline);
    return font;
}

const QtTextMeasure::Cached& QtTextMeasure::cached(const TextFont& style) {
    const QString key = keyOf(style);
    auto found = fonts_.constFind(key);
    if (found != fonts_.constEnd()) return **found;
    const QFont font = qtFont(style);
    auto entry = std::make_shared<Cached>(Cached{font, QFontMetricsF(font)});
    fonts_.insert(key, entry);
    return *entry;
}

// Lines follow each other at 1.2 times the font size, whatever room the font
// itself asks for above its capitals: the pitch stays the same with any font.
int QtTextMeasure::lineHeight(const TextFont& font) {
    return int(std::ceil(cached(font).font.pixelSize() * 1.2));
}

int QtTextMeasure::textWidth(const QString& text, const TextFont& font) {
    return int(std::ceil(cached(font).metrics.horizontalAdvance(text)));
}

QStringList QtTextMeasure::breakLines(const QString& text, const TextFont& font, int width, Wrap wrap) {
    const Cached& c = cached(font);
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) breakParagraph(paragraph, c, width, wrap, lines);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    return lines;
}

void QtTextMeasure::breakParagraph(const QString& paragraph, const Cached& c, int width, Wrap wrap,
                                   QStringList& out) const {
    if (c.metrics.horizontalAdvance(paragraph) <= width) {
        out << paragraph;
        return;
    }
    QTextLayout layout(paragraph, c.font);
    QTextOption option;
    option.setWrapMode(wrap == Wrap::Words ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        out << paragraph.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
}

} // namespace ql
