#include "app/MainWindowLayout.h"

namespace vm {

namespace {

constexpr int kWideLayoutMinWidth = 751;
constexpr int kMediumLayoutMinWidth = 571;
constexpr int kSeparatorGap = 12;
constexpr int kSeparatorWidth = 2;
constexpr int kSeparatorHeight = 26;

// Buttons that lose their text in the medium layout.
constexpr std::array<bool, kToolbarButtonCount> kSquareInMediumLayout{true,  false, false,
                                                                      false, true,  true};

void PlaceSeparators(ToolbarLayout& layout, const std::array<int, 2>& tops) {
    const std::array<size_t, 2> anchors{kAddButton, kDenyButton};
    for (size_t i = 0; i < anchors.size(); ++i) {
        const int left = layout.buttons[anchors[i]].rect.right + kSeparatorGap;
        layout.separators[i] = {left, tops[i], left + kSeparatorWidth, tops[i] + kSeparatorHeight};
    }
}

ToolbarLayout WideLayout(const std::array<WindowRect, kToolbarButtonCount>& rects) {
    ToolbarLayout layout;
    for (size_t i = 0; i < kToolbarButtonCount; ++i)
        layout.buttons[i] = {rects[i], true};
    return layout;
}

// Some buttons shrink to squares; every button moves left by what the ones
// before it lost.
ToolbarLayout MediumLayout(const std::array<WindowRect, kToolbarButtonCount>& rects, int side) {
    ToolbarLayout layout;
    int shift = 0;
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        WindowRect rect = rects[i];
        rect.left -= shift;
        rect.right -= shift;
        if (kSquareInMediumLayout[i]) {
            shift += rect.width() - side;
            rect.right = rect.left + side;
        }
        layout.buttons[i] = {rect, !kSquareInMediumLayout[i]};
    }
    return layout;
}

ToolbarLayout NarrowLayout(const std::array<WindowRect, kToolbarButtonCount>& rects, int side) {
    ToolbarLayout layout;
    const int x0 = rects[0].left;
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        const int left = x0 + static_cast<int>(i) * side;
        layout.buttons[i] = {{left, rects[i].top, left + side, rects[i].bottom}, false};
    }
    layout.separatorsVisible = false;
    return layout;
}

}  // namespace

int ToolbarLayoutForWidth(int windowWidth) {
    if (windowWidth >= kWideLayoutMinWidth)
        return 0;
    if (windowWidth >= kMediumLayoutMinWidth)
        return 1;
    return 2;
}

std::array<ToolbarLayout, 3> ComputeToolbarLayouts(
    const std::array<WindowRect, kToolbarButtonCount>& templateRects,
    const std::array<int, 2>& separatorTops) {
    const int side = templateRects[kAddButton].height();
    std::array<ToolbarLayout, 3> layouts{WideLayout(templateRects),
                                         MediumLayout(templateRects, side),
                                         NarrowLayout(templateRects, side)};
    for (auto& layout : layouts)
        PlaceSeparators(layout, separatorTops);
    return layouts;
}

MainWindowPlaces ComputeMainWindowPlaces(int clientWidth, int clientBottom, int toolbarHeight) {
    const int w = clientWidth;
    const int b = clientBottom;
    const int h = toolbarHeight;
    constexpr int kStripHeight = 24;
    MainWindowPlaces places;
    places.editList = {0, h + 1, w, b - 25 - (h + 1)};
    places.backButton = {0, h + 1, 30, 35};
    places.pathBar = {30, h + 8, w - 35, b};
    places.browseList = {0, h + 37, w, b - 25 - (h + 37)};
    places.menuButton = {0, b - kStripHeight, 25, kStripHeight};
    places.clipboardIndicator = {30, b - kStripHeight, 25, kStripHeight};
    places.nonNtfsButton = {55, b - kStripHeight, 125, kStripHeight};
    places.statusText = {180, b - kStripHeight, w - 185, kStripHeight};
    return places;
}

}  // namespace vm
