#pragma once
#include <QRect>
#include <QSize>
#include <vector>

namespace ql {

// Where the frame's open windows go for "Tile" and "Cascade": the outer
// rectangle of each window within `area`, in the order the windows are given.

// Rows of equal height, as many windows in a row as rows (the last row may
// hold fewer, which then share its whole width); the cells fill the area.
std::vector<QRect> tiledRects(const QRect& area, int count);

// Each window keeps its size as far as the area allows and starts `step`
// pixels right of and below the one before; the steps start again at the
// top-left corner before a window would be squeezed below half the area.
std::vector<QRect> cascadedRects(const QRect& area, const std::vector<QSize>& sizes, int step);

} // namespace ql
