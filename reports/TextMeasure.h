#pragma once
#include "reports/PageItems.h"
#include <QStringList>

namespace ql {

// Measures text in report units for the layout of pages.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // Height of one line of the font.
    virtual int lineHeight(const TextFont& font) = 0;
    // Width of the text on one line, blanks included.
    virtual int textWidth(const QString& text, const TextFont& font) = 0;
    // The text in lines no wider than `width`; the text's own line breaks
    // start new lines. No lines for an empty text.
    virtual QStringList breakLines(const QString& text, const TextFont& font, int width, Wrap wrap) = 0;
};

} // namespace ql
