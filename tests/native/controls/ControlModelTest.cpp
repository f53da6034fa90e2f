#include "controls/ControlModel.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ImageButton, ImagePlacement) {
    EXPECT_EQ(ButtonImageLeft(true, 120, 30, 96), 8);
    EXPECT_EQ(ButtonImageLeft(false, 120, 30, 96), 45);
    EXPECT_EQ(ButtonImageLeft(false, 20, 30, 96), -5);  // wider than the button: centred anyway
    EXPECT_EQ(ButtonImageTop(40, 30), 5);
    EXPECT_EQ(ButtonCaptionLeft(30, 96), 46);
}

TEST(ImageButton, MarginsFollowTheScaleAndTheImageItsDrawnSide) {
    // At 150% the image is 45 pixels, its margin 12 and the caption 24 past it.
    EXPECT_EQ(ButtonImageLeft(true, 180, 45, 144), 12);
    EXPECT_EQ(ButtonCaptionLeft(45, 144), 45 + 24);
    EXPECT_EQ(ButtonImageLeft(false, 180, 45, 144), 67);
    EXPECT_EQ(ButtonImageLeft(true, 240, 60, 192), 16);
    EXPECT_EQ(ButtonCaptionLeft(60, 192), 60 + 32);
    // The caption never starts inside the image, whatever the scale.
    for (int dpi : {96, 120, 144, 168, 192, 288})
        EXPECT_GT(ButtonCaptionLeft(ScaleForDpi(30, dpi), dpi),
                  ButtonImageLeft(true, 400, ScaleForDpi(30, dpi), dpi) + ScaleForDpi(30, dpi))
            << dpi;
}

TEST(ImageButton, DisabledMatrixGreysByLuminanceAndFadesAlpha) {
    const ColourMatrix matrix = DisabledImageMatrix();
    // Pure red (1, 0, 0, 1) becomes grey 0.299 with alpha 0.6.
    const float red[5] = {1, 0, 0, 1, 1};
    float out[5] = {};
    for (int column = 0; column < 5; ++column)
        for (int row = 0; row < 5; ++row)
            out[column] += red[row] * matrix.m[row][column];
    EXPECT_FLOAT_EQ(out[0], 0.299f);
    EXPECT_FLOAT_EQ(out[1], 0.299f);
    EXPECT_FLOAT_EQ(out[2], 0.299f);
    EXPECT_FLOAT_EQ(out[3], 0.6f);
    // White stays white (the weights sum to one).
    EXPECT_FLOAT_EQ(matrix.m[0][0] + matrix.m[1][0] + matrix.m[2][0], 1.0f);
}

TEST(Progress, CompletionOnlyAtIntegerHundred) {
    EXPECT_TRUE(ProgressReachesCompletion(100.0f));
    EXPECT_TRUE(ProgressReachesCompletion(100.7f));
    EXPECT_FALSE(ProgressReachesCompletion(99.9f));
    EXPECT_FALSE(ProgressReachesCompletion(101.0f));
    EXPECT_FALSE(ProgressReachesCompletion(0.0f));
}

TEST(Progress, FillRounds) {
    EXPECT_EQ(ProgressFillRight(1, 0.0f, 0.0f, 100.0f, 200), 1);
    EXPECT_EQ(ProgressFillRight(1, 50.0f, 0.0f, 100.0f, 200), 101);
    EXPECT_EQ(ProgressFillRight(0, 33.3f, 0.0f, 100.0f, 10), 3);
    EXPECT_EQ(ProgressFillRight(0, 35.0f, 0.0f, 100.0f, 10), 4);  // 3.5 rounds up
    EXPECT_EQ(ProgressFillRight(0, 100.0f, 0.0f, 100.0f, 200), 200);
    // An empty or inverted range fills nothing instead of dividing by zero.
    EXPECT_EQ(ProgressFillRight(1, 5.0f, 10.0f, 10.0f, 200), 1);
    EXPECT_EQ(ProgressFillRight(1, 5.0f, 20.0f, 10.0f, 200), 1);
}

TEST(Progress, MarkerWrapsAfterTheClientWidth) {
    EXPECT_EQ(AdvanceMarker(-100, 100, 300, 96), -92);
    EXPECT_EQ(AdvanceMarker(292, 100, 300, 96), 300);
    EXPECT_EQ(AdvanceMarker(300, 100, 300, 96), -100);
}

TEST(Progress, MarkerStepAndWidthScale) {
    // The marker crosses the bar in the same number of ticks at every scale.
    EXPECT_EQ(UnthemedMarkerWidth(96), 100);
    EXPECT_EQ(UnthemedMarkerWidth(144), 150);
    EXPECT_EQ(UnthemedMarkerWidth(192), 200);
    EXPECT_EQ(AdvanceMarker(-150, 150, 450, 144), -138);
    EXPECT_EQ(AdvanceMarker(-200, 200, 600, 192), -184);
    EXPECT_EQ(AdvanceMarker(440, 150, 450, 144), -150);
}

TEST(Menu, MeasureAndTexts) {
    // 100 pixels of text room at least, plus the item height and the part of
    // the gutter and margin (16 + 18 + 15 = 49) the item height does not cover.
    const MenuMetrics popup = MenuMetricsForDpi(96, 24, 16);
    EXPECT_EQ(MenuItemWidth(40, 0, popup), 100 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(160, 0, popup), 160 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(80, 40, popup), 80 + 24 + 40 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(40, 0, MenuMetricsForDpi(96, 60, 16)), 100 + 60);
    EXPECT_EQ(MenuItemHeight(false, popup), 24);
    EXPECT_EQ(MenuItemHeight(true, popup), 6);
    EXPECT_EQ(MenuMetricsForDpi(96), MenuMetrics{});

    MenuItemText text = SplitMenuItemText(L"&Refresh\tF5");
    EXPECT_EQ(text.label, L"&Refresh");
    EXPECT_EQ(text.accelerator, L"F5");
    EXPECT_EQ(SplitMenuItemText(L"Open").accelerator, L"");
    EXPECT_EQ(ClampMenuItemText(std::wstring(300, L'x')).size(), 259u);
}

TEST(Menu, ItemsGrowWithTheScale) {
    // 150%: items 36 high, icons 24, separators 9; the text keeps its full
    // room (24 + 27 + 23 = 74 beyond the item height of 36).
    const MenuMetrics at144 = MenuMetricsForDpi(144, kPopupMenuItemHeight, kMenuIconSize);
    EXPECT_EQ(at144.itemHeight, 36);
    EXPECT_EQ(at144.iconSize, 24);
    EXPECT_EQ(MenuItemHeight(true, at144), 9);
    EXPECT_EQ(MenuItemWidth(40, 0, at144), 150 + 36 + 38);
    EXPECT_EQ(MenuItemWidth(200, 60, at144), 200 + 36 + 60 + 36 + 38);
    // 200%: every size doubles, so a text twice as wide gives an item twice
    // as wide.
    const MenuMetrics at192 = MenuMetricsForDpi(192, kPopupMenuItemHeight, kMenuIconSize);
    EXPECT_EQ(MenuItemWidth(160, 80, at192), 2 * MenuItemWidth(80, 40, MenuMetricsForDpi(96, 24)));
    EXPECT_EQ(at192.checkRight - at192.checkInset, 44);
    EXPECT_EQ(at192.subMenuClipWidth, 60);
}

}  // namespace
}  // namespace vm
