#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(ToolbarLayoutForWidth(1150), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(751), 0);
    EXPECT_EQ(ToolbarLayoutForWidth(750), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(700), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(571), 1);
    EXPECT_EQ(ToolbarLayoutForWidth(570), 2);
    EXPECT_EQ(ToolbarLayoutForWidth(320), 2);
}

TEST(ToolbarLayout, WideLayoutKeepsTheTemplate) {
    auto layouts = ComputeToolbarLayouts(TemplateButtons(), {10, 10});
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        EXPECT_EQ(layouts[0].buttons[i].rect, TemplateButtons()[i]);
        EXPECT_TRUE(layouts[0].buttons[i].showText);
    }
    EXPECT_TRUE(layouts[0].separatorsVisible);
    EXPECT_EQ(layouts[0].separators[0], (WindowRect{177, 10, 179, 36}));
    EXPECT_EQ(layouts[0].separators[1], (WindowRect{547, 10, 549, 36}));
}

TEST(ToolbarLayout, MediumLayoutSquaresThreeButtonsAndClosesTheGaps) {
    auto layout = ComputeToolbarLayouts(TemplateButtons(), {10, 10})[1];
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
    auto layout = ComputeToolbarLayouts(TemplateButtons(), {10, 10})[2];
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        const int left = 5 + static_cast<int>(i) * 40;
        EXPECT_EQ(layout.buttons[i].rect, (WindowRect{left, 2, left + 40, 42})) << i;
        EXPECT_FALSE(layout.buttons[i].showText);
    }
    EXPECT_FALSE(layout.separatorsVisible);
}

TEST(MainWindowPlaces, ListsAndStripFollowTheClientArea) {
    auto places = ComputeMainWindowPlaces(1134, 650, 44);
    EXPECT_EQ(places.editList, (ControlPlace{0, 45, 1134, 650 - 25 - 45}));
    EXPECT_EQ(places.backButton, (ControlPlace{0, 45, 30, 35}));
    EXPECT_EQ(places.pathBar, (ControlPlace{30, 52, 1099, 650}));
    EXPECT_EQ(places.browseList, (ControlPlace{0, 81, 1134, 650 - 25 - 81}));
    EXPECT_EQ(places.menuButton, (ControlPlace{0, 626, 25, 24}));
    EXPECT_EQ(places.clipboardIndicator, (ControlPlace{30, 626, 25, 24}));
    EXPECT_EQ(places.nonNtfsButton, (ControlPlace{55, 626, 125, 24}));
    EXPECT_EQ(places.statusText, (ControlPlace{180, 626, 949, 24}));
}

}  // namespace
}  // namespace vm
