#include "lists/ListGeometry.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(HotRow, FromRowZeroBounds) {
    const PixelRect row0{0, 30, 800, 55};
    EXPECT_EQ(HotRowAt({10, 30}, row0, 25), 0);
    EXPECT_EQ(HotRowAt({10, 54}, row0, 25), 0);
    EXPECT_EQ(HotRowAt({10, 55}, row0, 25), 1);
    EXPECT_EQ(HotRowAt({10, 30 + 25 * 40}, row0, 25), 40);  // past the end: matches no row
    EXPECT_EQ(HotRowAt({801, 40}, row0, 25), -1);
    EXPECT_EQ(HotRowAt({800, 40}, row0, 25), 0);
    // Over the header (above row 0) there is no hot row.
    EXPECT_EQ(HotRowAt({10, 20}, row0, 25), -1);
    // Scrolled: row 0's top above the client area.
    EXPECT_EQ(HotRowAt({10, 30}, PixelRect{0, -220, 800, -195}, 25), 10);
}

TEST(Clicks, CheckBoxAreaAndRightOfRow) {
    const PixelRect row{0, 30, 800, 55};
    EXPECT_TRUE(ClickHitsCheckBox(24, 0, row, 25));
    EXPECT_FALSE(ClickHitsCheckBox(25, 0, row, 25));
    EXPECT_FALSE(ClickHitsCheckBox(5, 1, row, 25));
    EXPECT_TRUE(ClickIsRightOfRow(801, row));
    EXPECT_FALSE(ClickIsRightOfRow(800, row));
}

TEST(CellLayout, TextRectsMakeRoomForIcons) {
    const ListMetrics m = ListMetricsForDpi(96);
    const PixelRect cell{100, 30, 260, 55};
    EXPECT_EQ(CellTextRect(cell, 1, false, m), (PixelRect{106, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 0, false, m), (PixelRect{122, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 0, true, m), (PixelRect{132, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 3, false, m), (PixelRect{131, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 4, true, m), (PixelRect{131, 30, 254, 55}));
    EXPECT_EQ(CellIconOrigin(cell, m), (PixelPoint{104, 35}));
}

TEST(CellLayout, RowIconCheckBoxAndEmptyText) {
    const ListMetrics m = ListMetricsForDpi(96);
    const PixelRect icon{20, 30, 36, 55};
    EXPECT_EQ(RowIconOrigin(icon, false, m), (PixelPoint{20, 34}));
    EXPECT_EQ(RowIconOrigin(icon, true, m), (PixelPoint{30, 34}));
    EXPECT_EQ(CheckBoxRect(icon, 30, 25, 13, 13), (PixelRect{7, 36, 20, 49}));
    EXPECT_EQ(EmptyTextRect({0, 24, 500, 300}, m), (PixelRect{0, 74, 500, 300}));
}

TEST(ListMetrics, RowsIconsAndMarginsScale) {
    EXPECT_EQ(ListMetricsForDpi(96), ListMetrics{});
    const ListMetrics at144 = ListMetricsForDpi(144);
    EXPECT_EQ(at144.rowHeight, 38);  // 37.5 rounds up
    EXPECT_EQ(at144.iconSize, 24);
    EXPECT_EQ(at144.emptyTextTop, 75);
    EXPECT_EQ(at144.defaultCheckBoxSide, 20);
    const ListMetrics at192 = ListMetricsForDpi(192);
    EXPECT_EQ(at192.rowHeight, 50);
    EXPECT_EQ(at192.iconSize, 32);
    EXPECT_EQ(at192.checkedGlyphHeight, 40);
}

TEST(CellLayout, CellsAt150And200Percent) {
    const ListMetrics at144 = ListMetricsForDpi(144);
    const PixelRect cell{150, 45, 390, 83};  // one row of 38 pixels
    EXPECT_EQ(CellTextRect(cell, 1, false, at144), (PixelRect{159, 45, 381, 83}));
    EXPECT_EQ(CellTextRect(cell, 0, false, at144), (PixelRect{183, 45, 381, 83}));
    EXPECT_EQ(CellTextRect(cell, 0, true, at144), (PixelRect{198, 45, 381, 83}));
    // The access text starts a row height (38) past the inset.
    EXPECT_EQ(CellTextRect(cell, 3, false, at144), (PixelRect{197, 45, 381, 83}));
    // The 24-pixel cell icon: 6 in, centred in 38 and 2 lower.
    EXPECT_EQ(CellIconOrigin(cell, at144), (PixelPoint{156, 45 + 7 + 2}));
    const ListMetrics at192 = ListMetricsForDpi(192);
    const PixelRect row{40, 60, 72, 110};
    EXPECT_EQ(RowIconOrigin(row, false, at192), (PixelPoint{40, 69}));
    EXPECT_EQ(RowIconOrigin(row, true, at192), (PixelPoint{60, 69}));
    EXPECT_EQ(EmptyTextRect({0, 48, 1000, 600}, at192), (PixelRect{0, 148, 1000, 600}));
}

TEST(CellLayout, IconsStayInsideTheirRowAndBeforeTheTextAtEveryScale) {
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const ListMetrics m = ListMetricsForDpi(dpi);
        const PixelRect cell{0, 0, 10 * m.rowHeight, m.rowHeight};
        const PixelPoint cellIcon = CellIconOrigin(cell, m);
        EXPECT_GE(cellIcon.y, 0) << dpi;
        EXPECT_LE(cellIcon.y + m.iconSize, m.rowHeight) << dpi;
        EXPECT_LE(cellIcon.x + m.iconSize, CellTextRect(cell, 3, false, m).left) << dpi;
        const PixelPoint rowIcon = RowIconOrigin(cell, false, m);
        EXPECT_LE(rowIcon.y + m.iconSize, m.rowHeight) << dpi;
        EXPECT_LE(rowIcon.x + m.iconSize, CellTextRect(cell, 0, false, m).left) << dpi;
        // With check boxes the icon moves right and the text with it.
        const PixelPoint checkedIcon = RowIconOrigin(cell, true, m);
        EXPECT_LE(checkedIcon.x + m.iconSize, CellTextRect(cell, 0, true, m).left) << dpi;
    }
}

}  // namespace
}  // namespace vm
