#include "app/MainWindowLayout.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace vm {

namespace {

// The layout changes when the window gets wider than these.
constexpr int kMediumLayoutMaxWidth = 750;
constexpr int kNarrowLayoutMaxWidth = 570;
constexpr int kSeparatorGap = 12;
constexpr int kSeparatorWidth = 2;
constexpr int kSeparatorHeight = 26;

// Buttons that lose their text in the medium layout.
constexpr std::array<bool, kToolbarButtonCount> kSquareInMediumLayout{true,  false, false,
                                                                      false, true,  true};

void PlaceSeparators(ToolbarLayout& layout, const std::array<int, 2>& tops, int dpi) {
    const std::array<size_t, 2> anchors{kAddButton, kDenyButton};
    const int gap = ScaleForDpi(kSeparatorGap, dpi);
    const int width = ScaleForDpi(kSeparatorWidth, dpi);
    const int height = ScaleForDpi(kSeparatorHeight, dpi);
    for (size_t i = 0; i < anchors.size(); ++i) {
        const int left = layout.buttons[anchors[i]].rect.right + gap;
        layout.separators[i] = {left, tops[i], left + width, tops[i] + height};
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

int ToolbarLayoutForWidth(int windowWidth, int dpi) {
    if (windowWidth > ScaleForDpi(kMediumLayoutMaxWidth, dpi))
        return 0;
    if (windowWidth > ScaleForDpi(kNarrowLayoutMaxWidth, dpi))
        return 1;
    return 2;
}

int ChooseToolbarLayout(int windowWidth, int clientWidth,
                        const std::array<ToolbarLayout, 3>& layouts, int dpi) {
    int index = ToolbarLayoutForWidth(windowWidth, dpi);
    const auto rightEdge = [&](int i) {
        int right = 0;
        for (const ToolbarButtonPlace& button : layouts[static_cast<size_t>(i)].buttons)
            right = std::max(right, button.rect.right);
        return right;
    };
    while (index < 2 && rightEdge(index) > clientWidth)
        ++index;
    return index;
}

WindowRect ScaleRectBetweenDpi(const WindowRect& rect, int fromDpi, int toDpi) {
    return {ScaleBetweenDpi(rect.left, fromDpi, toDpi), ScaleBetweenDpi(rect.top, fromDpi, toDpi),
            ScaleBetweenDpi(rect.right, fromDpi, toDpi),
            ScaleBetweenDpi(rect.bottom, fromDpi, toDpi)};
}

std::array<ToolbarLayout, 3> ComputeToolbarLayouts(
    const std::array<WindowRect, kToolbarButtonCount>& templateRects,
    const std::array<int, 2>& separatorTops, int dpi) {
    const int side = templateRects[kAddButton].height();
    std::array<ToolbarLayout, 3> layouts{WideLayout(templateRects),
                                         MediumLayout(templateRects, side),
                                         NarrowLayout(templateRects, side)};
    for (auto& layout : layouts)
        PlaceSeparators(layout, separatorTops, dpi);
    return layouts;
}

MainWindowPlaces ComputeMainWindowPlaces(int clientWidth, int clientBottom, int toolbarHeight,
                                         int dpi) {
    const int w = clientWidth;
    const int b = clientBottom;
    const int h = toolbarHeight;
    // Edges are scaled, not sizes, so that neighbours that touch at 96 DPI
    // touch at every scale instead of overlapping by a pixel of rounding.
    const auto s = [dpi](int pixelsAt96) { return ScaleForDpi(pixelsAt96, dpi); };
    const auto span = [&s](int from, int to) { return s(to) - s(from); };
    const int stripTop = b - s(24);
    const int listBottom = b - s(25);
    MainWindowPlaces places;
    places.editList = {0, h + s(1), w, listBottom - (h + s(1))};
    places.backButton = {0, h + s(1), s(30), span(1, 36)};
    places.pathBar = {s(30), h + s(8), w - s(35), b};
    places.browseList = {0, h + s(37), w, listBottom - (h + s(37))};
    places.menuButton = {0, stripTop, s(25), s(24)};
    places.clipboardIndicator = {s(30), stripTop, span(30, 55), s(24)};
    places.nonNtfsButton = {s(55), stripTop, span(55, 180), s(24)};
    places.statusText = {s(180), stripTop, w - s(185), s(24)};
    return places;
}

int BottomRepaintHeight(int dpi) {
    return ScaleForDpi(36, dpi);
}

}  // namespace vm
