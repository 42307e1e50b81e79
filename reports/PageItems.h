#pragma once
#include <QString>
#include <vector>

namespace ql {

// Report geometry is in thousandths of an inch, measured from the top left
// corner of the paper.
inline constexpr int kUnitsPerInch = 1000;

// A font as a report names it; the drawing side turns it into a real font.
struct TextFont {
    QString family = QStringLiteral("Arial");
    double points = 8;
    int weight = 400;          // 100 (thin) to 900 (black); 700 is bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    unsigned colour = 0x000000; // 0xRRGGBB

    bool operator==(const TextFont&) const = default;
};

enum class TextAlign { Left, Center, Right };

// How a text too wide for its control is broken into lines.
enum class Wrap {
    Words,    // at blanks where possible, inside a word only when it is wider than the line
    Anywhere  // after any character (passwords: no blank is lost at a line's end)
};

// One line of text placed on a page.
struct PlacedText {
    int x = 0, y = 0, width = 0, height = 0;
    QString text;
    TextFont font;
    TextAlign align = TextAlign::Left;
};

// A rectangle drawn as a thin frame.
struct PlacedBox {
    int x = 0, y = 0, width = 0, height = 0;
};

// A check box with its label to the right of it.
struct PlacedCheck {
    int x = 0, y = 0, size = 0;
    bool checked = false;
    PlacedText label;
};

// One page of a report run, ready to be drawn on any device.
struct ReportPage {
    int width = 8500, height = 11000; // US Letter
    std::vector<PlacedText> texts;
    std::vector<PlacedBox> boxes;
    std::vector<PlacedCheck> checks;
};

} // namespace ql
