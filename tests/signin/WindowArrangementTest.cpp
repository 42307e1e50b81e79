#include "signin/WindowArrangement.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

// True when the rectangles cover `area` exactly: inside it, no two overlapping,
// and together as large as it.
bool coverExactly(const QRect& area, const std::vector<QRect>& rects) {
    qint64 covered = 0;
    for (size_t i = 0; i < rects.size(); ++i) {
        if (!area.contains(rects[i]) || rects[i].isEmpty()) return false;
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (rects[i].intersects(rects[j])) return false;
        covered += qint64(rects[i].width()) * rects[i].height();
    }
    return covered == qint64(area.width()) * area.height();
}

} // namespace

TEST(WindowArrangement, TilesFillTheAreaWithoutOverlapForAnyNumberOfWindows) {
    const QRect area(100, 150, 1001, 667); // odd sizes: no pixel lost to rounding
    for (int count = 1; count <= 10; ++count)
        EXPECT_TRUE(coverExactly(area, tiledRects(area, count))) << count;
    EXPECT_EQ(tiledRects(area, 1), (std::vector<QRect>{area}));
    // Two side by side; three as two above one of full width.
    const auto two = tiledRects(area, 2);
    EXPECT_EQ(two[0].height(), area.height());
    EXPECT_EQ(two[1].left(), two[0].right() + 1);
    const auto three = tiledRects(area, 3);
    EXPECT_EQ(three[0].top(), three[1].top());
    EXPECT_EQ(three[2].width(), area.width());
    EXPECT_TRUE(tiledRects(area, 0).empty());
    EXPECT_TRUE(tiledRects(QRect(), 2).empty());
}

TEST(WindowArrangement, CascadeStepsDownKeepingSizesAndStartsOverBeforeSqueezing) {
    const QRect area(0, 100, 800, 600);
    const auto rects = cascadedRects(area, {{400, 300}, {900, 200}, {400, 300}}, 30);
    EXPECT_EQ(rects[0], QRect(0, 100, 400, 300));
    EXPECT_EQ(rects[1], QRect(30, 130, 770, 200)); // too wide: cut to what is left
    EXPECT_EQ(rects[2], QRect(60, 160, 400, 300));
    // Ten steps of 30 would leave less than half the height: the eleventh starts over.
    const auto many = cascadedRects(area, std::vector<QSize>(12, QSize(300, 200)), 30);
    EXPECT_EQ(many[10].topLeft(), QPoint(300, 400));
    EXPECT_EQ(many[11].topLeft(), area.topLeft());
    for (const QRect& r : many) EXPECT_TRUE(area.contains(r)) << r.x() << "," << r.y();
}
