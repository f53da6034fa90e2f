#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

#include "platform/Dpi.h"

namespace vm {
namespace {

// Six buttons 40 pixels high as a dialog template places them: wide ones with
// text and gaps of 30 pixels where the separators go.
std::array<WindowRect, kToolbarButtonCount> TemplateButtons() {
    return {{{5, 2, 165, 42},
             {195, 2, 315, 42},
             {315, 2, 415, 42},
             {415, 2, 535, 42},
             {565, 2, 705, 42},
             {705, 2, 815, 42}}};
}

TEST(ToolbarLayout, WidthBounds) {
    EXPECT_EQ(ToolbarLayoutForWidth(1150, 96), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(751, 96), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(750, 96), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(700, 96), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(571, 96), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(570, 96), 2);
    EXPECT_EQ(ToolbarLayoutForWidth(320, 96), 2);
}

TEST(ToolbarLayout, WidthBoundsScaleWithTheWindow) {
    // 150%: the bounds are 1125 and 855 pixels; 700 pixels at 96 DPI are
    // 1050 here and still give three square buttons.
    EXPECT_EQ(ToolbarLayoutForWidth(1126, 144), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(1125, 144), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(1050, 144), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(856, 144), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(855, 144), 2);
    // 200%: 1500 and 1140. A width that is wide at 96 DPI is narrow here.
    EXPECT_EQ(ToolbarLayoutForWidth(1501, 192), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(1500, 192), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(1141, 192), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(1140, 192), 2);
    EXPECT_EQ(ToolbarLayoutForWidth(1000, 192), 2);
}

TEST(ToolbarLayout, WideLayoutKeepsTheTemplate) {
    auto layouts = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 96);
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        EXPECT_EQ(layouts[0].buttons[i].rect, TemplateButtons()[i]);
        EXPECT_TRUE(layouts[0].buttons[i].showText);
    }
    EXPECT_TRUE(layouts[0].separatorsVisible);
    EXPECT_EQ(layouts[0].separators[0], (WindowRect{177, 10, 179, 36}));
    EXPECT_EQ(layouts[0].separators[1], (WindowRect{547, 10, 549, 36}));
}

TEST(ToolbarLayout, MediumLayoutSquaresThreeButtonsAndClosesTheGaps) {
    auto layout = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 96)[1];
    // Add loses 120 pixels: the next three move left by 120 and keep text.
    EXPECT_EQ(layout.buttons[0].rect, (WindowRect{5, 2, 45, 42}));
    EXPECT_FALSE(layout.buttons[0].showText);
    EXPECT_EQ(layout.buttons[1].rect, (WindowRect{75, 2, 195, 42}));
    EXPECT_TRUE(layout.buttons[1].showText);
    EXPECT_EQ(layout.buttons[3].rect, (WindowRect{295, 2, 415, 42}));
    // Change Owner moves by 120 and shrinks by 100; Advanced moves by 220.
    EXPECT_EQ(layout.buttons[4].rect, (WindowRect{445, 2, 485, 42}));
    EXPECT_EQ(layout.buttons[5].rect, (WindowRect{485, 2, 525, 42}));
    EXPECT_FALSE(layout.buttons[5].showText);
    EXPECT_EQ(layout.separators[0].left, 45 + 12);
    EXPECT_EQ(layout.separators[1].left, 415 + 12);
    EXPECT_TRUE(layout.separatorsVisible);
}

TEST(ToolbarLayout, NarrowLayoutPacksSquaresFromTheFirstButton) {
    auto layout = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 96)[2];
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        const int left = 5 + static_cast<int>(i) * 40;
        EXPECT_EQ(layout.buttons[i].rect, (WindowRect{left, 2, left + 40, 42})) << i;
        EXPECT_FALSE(layout.buttons[i].showText);
    }
    EXPECT_FALSE(layout.separatorsVisible);
}

TEST(MainWindowPlaces, ListsAndStripFollowTheClientArea) {
    auto places = ComputeMainWindowPlaces(1134, 650, 44, 96);
    EXPECT_EQ(places.editList, (ControlPlace{0, 45, 1134, 650 - 25 - 45}));
    EXPECT_EQ(places.backButton, (ControlPlace{0, 45, 30, 35}));
    EXPECT_EQ(places.pathBar, (ControlPlace{30, 52, 1099, 650}));
    EXPECT_EQ(places.browseList, (ControlPlace{0, 81, 1134, 650 - 25 - 81}));
    EXPECT_EQ(places.menuButton, (ControlPlace{0, 626, 25, 24}));
    EXPECT_EQ(places.clipboardIndicator, (ControlPlace{30, 626, 25, 24}));
    EXPECT_EQ(places.nonNtfsButton, (ControlPlace{55, 626, 125, 24}));
    EXPECT_EQ(places.statusText, (ControlPlace{180, 626, 949, 24}));
}

TEST(ToolbarLayout, ANarrowerLayoutWhenTheButtonsWouldNotFit) {
    const auto layouts = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 96);
    // The wide tool bar ends at 815, the medium one at 525, the narrow at 245.
    EXPECT_EQ(ChooseToolbarLayout(1150, 1134, layouts, 96), 0);
    EXPECT_EQ(ChooseToolbarLayout(820, 815, layouts, 96), 0);
    EXPECT_EQ(ChooseToolbarLayout(820, 814, layouts, 96),
              1);  // wide by the bound, cut by the buttons
    EXPECT_EQ(ChooseToolbarLayout(700, 684, layouts, 96), 1);
    EXPECT_EQ(ChooseToolbarLayout(700, 500, layouts, 96), 2);
    // Narrow is the last resort even when it does not fit either.
    EXPECT_EQ(ChooseToolbarLayout(330, 200, layouts, 96), 2);
    // The bound is scaled: 1000 pixels at 200% is narrow whatever fits.
    EXPECT_EQ(ChooseToolbarLayout(1000, 984, layouts, 192), 2);
}

TEST(ToolbarLayout, SeparatorsScaleAndButtonsFollowTheTemplateAtItsScale) {
    // The same template at 200%: every rectangle twice as large.
    std::array<WindowRect, kToolbarButtonCount> doubled{};
    for (size_t i = 0; i < kToolbarButtonCount; ++i)
        doubled[i] = ScaleRectBetweenDpi(TemplateButtons()[i], 96, 192);
    EXPECT_EQ(doubled[0], (WindowRect{10, 4, 330, 84}));
    const auto layouts = ComputeToolbarLayouts(doubled, {20, 20}, 192);
    // Gap 24, width 4, height 52.
    EXPECT_EQ(layouts[0].separators[0], (WindowRect{354, 20, 358, 72}));
    // Squares are as wide as the scaled buttons are high, and the medium
    // layout is the one at 96 DPI, doubled.
    const auto at96 = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 96);
    for (size_t layout = 1; layout < 3; ++layout)
        for (size_t i = 0; i < kToolbarButtonCount; ++i)
            EXPECT_EQ(layouts[layout].buttons[i].rect,
                      ScaleRectBetweenDpi(at96[layout].buttons[i].rect, 96, 192))
                << layout << " " << i;
    // At 150% the separator is 3 pixels wide and 39 high, 18 right of its button.
    const auto at144 = ComputeToolbarLayouts(TemplateButtons(), {10, 10}, 144);
    EXPECT_EQ(at144[0].separators[1], (WindowRect{553, 10, 556, 49}));
}

TEST(ToolbarLayout, RectanglesSideBySideStaySideBySideWhenScaled) {
    // Edges are scaled, not sizes: two buttons that touch still touch at
    // 125%, where scaling widths would leave gaps of rounding.
    const WindowRect a{3, 2, 104, 44};
    const WindowRect b{104, 2, 181, 44};
    EXPECT_EQ(ScaleRectBetweenDpi(a, 96, 120).right, ScaleRectBetweenDpi(b, 96, 120).left);
    // There and back again gives the rectangle back.
    EXPECT_EQ(ScaleRectBetweenDpi(ScaleRectBetweenDpi(a, 96, 144), 144, 96), a);
}

TEST(MainWindowPlaces, StripPathBarAndListsScale) {
    // 150%: the tool bar of 66 pixels and the strip of 36 at the bottom.
    auto places = ComputeMainWindowPlaces(1701, 975, 66, 144);
    EXPECT_EQ(places.editList, (ControlPlace{0, 68, 1701, 975 - 38 - 68}));
    EXPECT_EQ(places.backButton, (ControlPlace{0, 68, 45, 52}));  // down to 66 + 54
    EXPECT_EQ(places.pathBar, (ControlPlace{45, 78, 1701 - 53, 975}));
    EXPECT_EQ(places.browseList, (ControlPlace{0, 66 + 56, 1701, 975 - 38 - 122}));
    EXPECT_EQ(places.menuButton, (ControlPlace{0, 975 - 36, 38, 36}));
    EXPECT_EQ(places.clipboardIndicator, (ControlPlace{45, 939, 38, 36}));
    EXPECT_EQ(places.nonNtfsButton, (ControlPlace{83, 939, 187, 36}));  // up to 270
    EXPECT_EQ(places.statusText, (ControlPlace{270, 939, 1701 - 278, 36}));
    // 200%: every size at 96 DPI doubles.
    const auto at96 = ComputeMainWindowPlaces(567, 325, 22, 96);
    const auto at192 = ComputeMainWindowPlaces(1134, 650, 44, 192);
    const auto doubled = [](ControlPlace p) {
        return ControlPlace{p.x * 2, p.y * 2, p.width * 2, p.height * 2};
    };
    EXPECT_EQ(at192.editList, doubled(at96.editList));
    EXPECT_EQ(at192.browseList, doubled(at96.browseList));
    EXPECT_EQ(at192.pathBar, doubled(at96.pathBar));
    EXPECT_EQ(at192.statusText, doubled(at96.statusText));
    EXPECT_EQ(at192.clipboardIndicator, doubled(at96.clipboardIndicator));
    EXPECT_EQ(BottomRepaintHeight(96), 36);
    EXPECT_EQ(BottomRepaintHeight(192), 72);
}

TEST(MainWindowPlaces, StripControlsDoNotOverlapAtAnyScale) {
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        const auto p = ComputeMainWindowPlaces(ScaleForDpi(800, dpi), ScaleForDpi(600, dpi),
                                               ScaleForDpi(44, dpi), dpi);
        EXPECT_LE(p.menuButton.x + p.menuButton.width, p.clipboardIndicator.x) << dpi;
        EXPECT_LE(p.clipboardIndicator.x + p.clipboardIndicator.width, p.nonNtfsButton.x) << dpi;
        EXPECT_LE(p.nonNtfsButton.x + p.nonNtfsButton.width, p.statusText.x) << dpi;
        EXPECT_LE(p.editList.y + p.editList.height, p.menuButton.y) << dpi;
        EXPECT_LE(p.browseList.y + p.browseList.height, p.menuButton.y) << dpi;
        EXPECT_LE(p.backButton.y + p.backButton.height, p.browseList.y) << dpi;
    }
}

}  // namespace
}  // namespace vm
