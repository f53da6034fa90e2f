#include "advanced/AdvancedLayout.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace vm {
namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 15;
constexpr int kEntryButtonSide = 25;
constexpr int kEntryButtonsTop = 40;
constexpr int kOwnerRightGap = 80;  // the owner static leaves room for the entry buttons
constexpr int kListTop = 70;
constexpr int kListHeightLess = 180;
constexpr int kReadOnlyListHeightLess = 100;
constexpr int kInheritFromBottom = 110;
constexpr int kReplaceFromBottom = 80;
constexpr int kBoxHeight = 25;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
constexpr int kButtonStep = 100;  // from one button's left edge to the next one's
constexpr int kChangeOwnerWidth = 125;

ControlPlace Stretched(const ControlPlace& place, int right) {
    return {place.x, place.y, std::max(0, right - place.x), place.height};
}

}  // namespace

namespace {

WindowSize WithinWorkArea(int width, int height, int workWidth, int workHeight) {
    return {std::min(width, workWidth), std::min(height, workHeight)};
}

}  // namespace

WindowSize AdvancedOpeningSize(int dpi, int workWidth, int workHeight) {
    return WithinWorkArea(ScaleForDpi(kAdvancedWindowWidth, dpi),
                          ScaleForDpi(kAdvancedWindowHeight, dpi), workWidth, workHeight);
}

WindowSize AdvancedMinimumSize(int dpi, int workWidth, int workHeight) {
    return WithinWorkArea(ScaleForDpi(kAdvancedMinWidth, dpi), ScaleForDpi(kAdvancedMinHeight, dpi),
                          workWidth, workHeight);
}

AdvancedPlaces ComputeAdvancedPlaces(int clientWidth, int clientHeight, bool readOnly,
                                     const ControlPlace& objectName, const ControlPlace& owner,
                                     int dpi) {
    auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const int left = s(kMargin);
    const int top = s(kMargin);
    const int right = clientWidth - s(kMargin);
    const int bottom = clientHeight - s(kMargin);
    const int width = std::max(0, right - left);

    AdvancedPlaces places;
    places.objectName = Stretched(objectName, right);
    places.owner = Stretched(owner, right - s(kOwnerRightGap));
    const int side = s(kEntryButtonSide);
    const int buttonsTop = s(kEntryButtonsTop);
    places.reload = {right - side, buttonsTop, side, side};
    places.remove = {right - s(2 * kEntryButtonSide), buttonsTop, side, side};
    places.add = {right - s(3 * kEntryButtonSide), buttonsTop, side, side};
    const int heightLess = s(readOnly ? kReadOnlyListHeightLess : kListHeightLess);
    places.list = {left, s(kListTop), width, std::max(0, bottom - top - heightLess)};
    places.inherit = {left, bottom - s(kInheritFromBottom), width, s(kBoxHeight)};
    places.replaceChildren = {left, bottom - s(kReplaceFromBottom), width, s(kBoxHeight)};
    const int buttonTop = bottom - s(kButtonHeight);
    const int buttonWidth = s(kButtonWidth);
    const int buttonHeight = s(kButtonHeight);
    places.cancel = {right - buttonWidth, buttonTop, buttonWidth, buttonHeight};
    places.ok = {right - s(kButtonStep) - buttonWidth, buttonTop, buttonWidth, buttonHeight};
    places.apply = {right - s(2 * kButtonStep) - buttonWidth, buttonTop, buttonWidth, buttonHeight};
    places.changeOwner = {left, buttonTop, s(kChangeOwnerWidth), buttonHeight};
    return places;
}

}  // namespace vm
