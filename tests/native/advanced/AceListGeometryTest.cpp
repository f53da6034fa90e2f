#include <gtest/gtest.h>

#include "advanced/AceListGeometry.h"

namespace vm {
namespace {

TEST(AceListGeometry, ColumnsAtTheirSizesWidenedOnlyForTextsThatWouldNotFit) {
    EXPECT_EQ(AceColumnWidths(false, 96), (std::vector<int>{30, 60, 175, 50, 50, 120, 190}));
    EXPECT_EQ(AceColumnWidths(true, 96), (std::vector<int>{30, 60, 175, 50, 50, 120}));
    EXPECT_EQ(AceColumnWidths(false, 144)[6], 285);
    // Texts that fit change nothing; wider ones get their insets (6 + 6) and the arrow (22).
    EXPECT_EQ(AceColumnWidths(false, 96, 160, 150)[2], 175);
    EXPECT_EQ(AceColumnWidths(false, 96, 170, 170)[2], 182);
    EXPECT_EQ(AceColumnWidths(false, 96, 170, 170)[6], 204);
    EXPECT_EQ(AceColumnWidths(true, 96, 0, 500).size(), 6u);
}

TEST(AceListGeometry, CellsPicturesAndTheArrow) {
    const std::vector<PixelRect> cells =
        AceCellRects({10, 44, 700, 66}, AceColumnWidths(false, 96));
    ASSERT_EQ(cells.size(), 7u);
    EXPECT_EQ(cells[3], (PixelRect{275, 44, 325, 66}));
    const AceListMetrics metrics = AceListMetricsForDpi(96);
    EXPECT_EQ(metrics.rowHeight, 22);
    EXPECT_EQ(CellPictureOrigin(cells[3], metrics), (PixelPoint{292, 47}));
    EXPECT_EQ(ScopeArrowOrigin(cells[6], metrics), (PixelPoint{10 + 675 - 22, 47}));
    EXPECT_EQ(AceListMetricsForDpi(144).rowHeight, 33);
}

TEST(AceListGeometry, WaitingPictureAndEmptyText) {
    const BusyPicture busy = BusyPictureFor(400, 300, 96);
    EXPECT_EQ(busy.text, (PixelRect{0, 165, 400, 300}));
    EXPECT_EQ(busy.dots[0], (PixelPoint{152, 140}));
    EXPECT_EQ(busy.dots[5], (PixelPoint{232, 140}));
    EXPECT_EQ(NextBusyFrame(4), 5);
    EXPECT_EQ(NextBusyFrame(5), 0);
    EXPECT_EQ(EmptyTextRectFor(400, 300, 40, 96), (PixelRect{30, 130, 380, 170}));
    // A text taller than the list starts at its top.
    EXPECT_EQ(EmptyTextRectFor(400, 30, 40, 96).top, 0);
    EXPECT_EQ(At96Dpi(30, 144), 20);
}

}  // namespace
}  // namespace vm
