// The scale arithmetic every window uses, and where the main window opens
// across scales and monitors.
#include <gtest/gtest.h>

#include "app/WindowPlacement.h"
#include "platform/Dpi.h"

namespace vm {
namespace {

TEST(Dpi, ScalesRoundHalvesAwayFromZero) {
    EXPECT_EQ(ScaleForDpi(25, 96), 25);
    EXPECT_EQ(ScaleForDpi(25, 144), 38);  // 37.5
    EXPECT_EQ(ScaleForDpi(25, 192), 50);
    EXPECT_EQ(ScaleForDpi(25, 120), 31);  // 31.25
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);  // -4.5: offsets to the left scale alike
    EXPECT_EQ(ScaleForDpi(0, 288), 0);
    // A window that reports no DPI (the call failed) is drawn at 96.
    EXPECT_EQ(ScaleForDpi(25, 0), 25);
    EXPECT_EQ(ScaleForDpi(25, -96), 25);
    // Large values do not overflow on the way.
    EXPECT_EQ(ScaleForDpi(30'000'000, 192), 60'000'000);
    EXPECT_EQ(ScalePercent(144), 150);
    EXPECT_EQ(ScalePercent(120), 125);
}

TEST(Dpi, BetweenTwoScales) {
    EXPECT_EQ(ScaleBetweenDpi(300, 96, 144), 450);
    EXPECT_EQ(ScaleBetweenDpi(450, 144, 96), 300);
    EXPECT_EQ(ScaleBetweenDpi(451, 144, 192), 601);  // 601.33
    EXPECT_EQ(ScaleBetweenDpi(77, 144, 144), 77);
    EXPECT_EQ(ScaleBetweenDpi(77, 0, 0), 77);
}

TEST(Dpi, PicturesAtThreeScalesAndTheNearestChosen) {
    EXPECT_EQ(ImageSideAt(30, ImageScale::k100), 30);
    EXPECT_EQ(ImageSideAt(30, ImageScale::k150), 45);
    EXPECT_EQ(ImageSideAt(30, ImageScale::k200), 60);
    EXPECT_EQ(ImageSideAt(16, ImageScale::k150), 24);
    EXPECT_EQ(ImageSideAt(21, ImageScale::k150), 32);  // 31.5
    // The tool-bar picture (30 at 96 DPI) at common scales.
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 96)), ImageScale::k100);
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 120)), ImageScale::k150);  // 38: 45 nearer
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 144)), ImageScale::k150);
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 168)), ImageScale::k200);  // 53: 60 nearer
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 192)), ImageScale::k200);
    EXPECT_EQ(NearestImageScale(30, ScaleForDpi(30, 288)), ImageScale::k200);
    // Half-way between two renderings: the larger one, scaled down.
    EXPECT_EQ(NearestImageScale(16, 20), ImageScale::k150);
    EXPECT_EQ(NearestImageScale(16, 28), ImageScale::k200);
    // Smaller than 1x (a 16-pixel use of a 30-pixel picture): 1x.
    EXPECT_EQ(NearestImageScale(30, 16), ImageScale::k100);
    EXPECT_EQ(ImageResourceIdAt(130, ImageScale::k100), 130);
    EXPECT_EQ(ImageResourceIdAt(130, ImageScale::k150), 1130);
    EXPECT_EQ(ImageResourceIdAt(181, ImageScale::k200), 2181);
}

// ---- Placement across scales and monitors ------------------------------------

Settings SavedAt(WindowRect rect, int maximized = 0) {
    Settings settings;
    settings.windowLeft = rect.left;
    settings.windowTop = rect.top;
    settings.windowRight = rect.right;
    settings.windowBottom = rect.bottom;
    settings.windowMaximized = maximized;
    return settings;
}

TEST(WindowPlacement, FirstStartOpensAtTheDefaultSizeOfTheScale) {
    const WindowRect big{0, 0, 3840, 2160};
    auto at144 = ChooseInitialPlacement(Settings{}, {big}, 144);
    EXPECT_EQ(at144.show, InitialShow::kCentredDefault);
    EXPECT_EQ(at144.rect.width(), 1725);
    EXPECT_EQ(at144.rect.height(), 1032);
    EXPECT_EQ(at144.rect.left, (3840 - 1725) / 2);
    auto at192 = ChooseInitialPlacement(Settings{}, {big}, 192);
    EXPECT_EQ(at192.rect, (WindowRect{770, 392, 3070, 1768}));
    // A small screen at a large scale: the window fits the work area instead
    // of opening with its caption and borders off the screen.
    const WindowRect laptop{0, 0, 1280, 760};
    auto cramped = ChooseInitialPlacement(Settings{}, {laptop}, 144);
    EXPECT_EQ(cramped.rect, (WindowRect{0, 0, 1280, 760}));
    // The work area need not start at the origin (a task bar at the top).
    auto offset = ChooseInitialPlacement(Settings{}, {WindowRect{0, 40, 1920, 1080}}, 96);
    EXPECT_EQ(offset.rect, (WindowRect{385, 216, 1535, 904}));
}

TEST(WindowPlacement, MinimumTrackSizeScales) {
    EXPECT_EQ(MinimumTrackSize(96), (WindowSize{320, 300}));
    EXPECT_EQ(MinimumTrackSize(144), (WindowSize{480, 450}));
    EXPECT_EQ(MinimumTrackSize(192), (WindowSize{640, 600}));
}

TEST(WindowPlacement, SavedRectangleIsRestoredOnTheMonitorThatShowsIt) {
    // Two monitors: the primary at 1920 x 1040, a second one to its right.
    const std::vector<WindowRect> both{{0, 0, 1920, 1040}, {1920, 0, 4480, 1400}};
    const WindowRect onSecond{2100, 100, 3900, 1200};
    auto placed = ChooseInitialPlacement(SavedAt(onSecond), both, 96);
    EXPECT_EQ(placed.show, InitialShow::kSavedRectangle);
    EXPECT_EQ(placed.rect, onSecond);
    // Straddling the two is fine as it is.
    const WindowRect straddling{1500, 100, 2500, 800};
    EXPECT_EQ(ChooseInitialPlacement(SavedAt(straddling), both, 96).rect, straddling);
}

TEST(WindowPlacement, RectangleOfAMonitorThatIsGoneMovesToThePrimary) {
    const std::vector<WindowRect> primaryOnly{{0, 0, 1920, 1040}};
    // Saved on the second monitor, which is unplugged now: same size, centred.
    auto moved = ChooseInitialPlacement(SavedAt({2100, 100, 3900, 1100}), primaryOnly, 96);
    EXPECT_EQ(moved.show, InitialShow::kSavedRectangle);
    EXPECT_EQ(moved.rect, (WindowRect{60, 20, 1860, 1020}));
    // Larger than the primary: cut to its work area.
    auto cut = ChooseInitialPlacement(SavedAt({-3000, -200, -100, 1500}), primaryOnly, 96);
    EXPECT_EQ(cut.rect, (WindowRect{0, 0, 1920, 1040}));
    // A sliver of 20 pixels left on the screen cannot be grabbed: moved.
    auto sliver = ChooseInitialPlacement(SavedAt({1900, 300, 2700, 900}), primaryOnly, 96);
    EXPECT_EQ(sliver.rect, (WindowRect{560, 220, 1360, 820}));
    // 60 pixels are enough at 96 DPI, not at 150% (75 needed).
    const WindowRect sixty{1860, 300, 2660, 900};
    EXPECT_EQ(ChooseInitialPlacement(SavedAt(sixty), primaryOnly, 96).rect, sixty);
    EXPECT_NE(ChooseInitialPlacement(SavedAt(sixty), primaryOnly, 144).rect, sixty);
}

TEST(WindowPlacement, MaximizedStaysMaximizedWhateverTheMonitors) {
    // The maximized flag wins; the saved (maximized) rectangle is not applied,
    // so a missing monitor does not matter.
    const std::vector<WindowRect> primaryOnly{{0, 0, 1920, 1040}};
    auto placed = ChooseInitialPlacement(SavedAt({1912, -8, 4488, 1408}, 1), primaryOnly, 144);
    EXPECT_EQ(placed.show, InitialShow::kMaximized);
}

TEST(WindowPlacement, ReachableMeansEnoughOfTheWindowShows) {
    const WindowRect work{0, 0, 1000, 800};
    EXPECT_TRUE(IsReachable({100, 100, 500, 400}, work, 96));
    EXPECT_FALSE(IsReachable({1000, 100, 1500, 400}, work, 96));  // touching is not showing
    EXPECT_TRUE(IsReachable({950, 750, 1500, 1400}, work, 96));   // 50 x 50 in the corner
    EXPECT_FALSE(IsReachable({951, 750, 1500, 1400}, work, 96));
    // A window thinner than 50 pixels counts when all of its width shows.
    EXPECT_TRUE(IsReachable({10, 10, 15, 400}, work, 96));
    EXPECT_FALSE(IsReachable({-2, 10, 3, 400}, work, 96));
}

}  // namespace
}  // namespace vm
