#include "signin/WindowArrangement.h"
#include <cmath>

namespace ql {

namespace {

// Splits `length` into `parts` pieces whose sizes differ by at most one.
int pieceStart(int length, int parts, int index) { return int(qint64(length) * index / parts); }

} // namespace

std::vector<QRect> tiledRects(const QRect& area, int count) {
    std::vector<QRect> rects;
    if (count <= 0 || area.isEmpty()) return rects;
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    for (int row = 0; row < rows; ++row) {
        const int inRow = row == rows - 1 ? count - columns * (rows - 1) : columns;
        const int top = area.top() + pieceStart(area.height(), rows, row);
        const int bottom = area.top() + pieceStart(area.height(), rows, row + 1);
        for (int column = 0; column < inRow; ++column) {
            const int left = area.left() + pieceStart(area.width(), inRow, column);
            const int right = area.left() + pieceStart(area.width(), inRow, column + 1);
            rects.emplace_back(QPoint(left, top), QSize(right - left, bottom - top));
        }
    }
    return rects;
}

std::vector<QRect> cascadedRects(const QRect& area, const std::vector<QSize>& sizes, int step) {
    std::vector<QRect> rects;
    int offset = 0;
    for (const QSize& size : sizes) {
        QSize room = area.size() - QSize(offset, offset);
        if (room.width() < area.width() / 2 || room.height() < area.height() / 2) {
            offset = 0;
            room = area.size();
        }
        rects.emplace_back(area.topLeft() + QPoint(offset, offset), size.boundedTo(room));
        offset += step;
    }
    return rects;
}

} // namespace ql
