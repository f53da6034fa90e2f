#include "controls/ControlModel.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ImageButton, ImagePlacement) {
    EXPECT_EQ(ButtonImageLeft(true, 120, 30), 8);
    EXPECT_EQ(ButtonImageLeft(false, 120, 30), 45);
    EXPECT_EQ(ButtonImageLeft(false, 20, 30), -5);  // wider than the button: centred anyway
    EXPECT_EQ(ButtonImageTop(40, 30), 5);
    EXPECT_EQ(ButtonCaptionLeft(30), 46);
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
    EXPECT_EQ(AdvanceMarker(-100, 100, 300), -92);
    EXPECT_EQ(AdvanceMarker(292, 100, 300), 300);
    EXPECT_EQ(AdvanceMarker(300, 100, 300), -100);
}

TEST(Menu, MeasureAndTexts) {
    // 100 pixels of text room at least, plus the item height and the part of
    // the gutter and margin (16 + 18 + 15 = 49) the item height does not cover.
    EXPECT_EQ(MenuItemWidth(40, 0, 24, 16), 100 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(160, 0, 24, 16), 160 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(80, 40, 24, 16), 80 + 24 + 40 + 24 + 25);
    EXPECT_EQ(MenuItemWidth(40, 0, 60, 16), 100 + 60);
    EXPECT_EQ(MenuItemHeight(false, 24), 24);
    EXPECT_EQ(MenuItemHeight(true, 24), 6);

    MenuItemText text = SplitMenuItemText(L"&Refresh\tF5");
    EXPECT_EQ(text.label, L"&Refresh");
    EXPECT_EQ(text.accelerator, L"F5");
    EXPECT_EQ(SplitMenuItemText(L"Open").accelerator, L"");
    EXPECT_EQ(ClampMenuItemText(std::wstring(300, L'x')).size(), 259u);
}

}  // namespace
}  // namespace vm
