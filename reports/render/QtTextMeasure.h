#pragma once
#include "reports/TextMeasure.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>

namespace ql {

// The real font of a report font, sized in report units (a thousandth of an
// inch a pixel), so that measuring and drawing agree on every device.
QFont qtFont(const TextFont& style);

// Measures with the fonts installed on the machine.
class QtTextMeasure : public TextMeasure {
public:
    int lineHeight(const TextFont& font) override;
    int textWidth(const QString& text, const TextFont& font) override;
    QStringList breakLines(const QString& text, const TextFont& font, int width, Wrap wrap) override;

private:
    struct Cached {
        QFont font;
        QFontMetricsF metrics;
    };
    const Cached& cached(const TextFont& style);
    void breakParagraph(const QString& paragraph, const Cached& c, int width, Wrap wrap, QStringList& out) const;

    QHash<QString, std::shared_ptr<Cached>> fonts_;
};

} // namespace ql
