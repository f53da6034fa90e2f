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
    const PixelRect cell{100, 30, 260, 55};
    EXPECT_EQ(CellTextRect(cell, 1, false, 25), (PixelRect{106, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 0, false, 25), (PixelRect{122, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 0, true, 25), (PixelRect{132, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 3, false, 25), (PixelRect{131, 30, 254, 55}));
    EXPECT_EQ(CellTextRect(cell, 4, true, 25), (PixelRect{131, 30, 254, 55}));
    EXPECT_EQ(CellIconOrigin(cell, 25), (PixelPoint{104, 35}));
}

TEST(CellLayout, RowIconCheckBoxAndEmptyText) {
    const PixelRect icon{20, 30, 36, 55};
    EXPECT_EQ(RowIconOrigin(icon, false), (PixelPoint{20, 34}));
    EXPECT_EQ(RowIconOrigin(icon, true), (PixelPoint{30, 34}));
    EXPECT_EQ(CheckBoxRect(icon, 30, 25, 13, 13), (PixelRect{7, 36, 20, 49}));
    EXPECT_EQ(EmptyTextRect({0, 24, 500, 300}), (PixelRect{0, 74, 500, 300}));
}

}  // namespace
}  // namespace vm
