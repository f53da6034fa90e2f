#include "advanced/AceListGeometry.h"

#include <algorithm>

namespace vm {
namespace {

// Columns of string 193 at 96 DPI: the toggle, "Type", the name, "Allow",
// "Deny", "Inherited From", "Apply to" (containers only).
constexpr std::array<int, 7> kColumnWidths{30, 60, 175, 50, 50, 120, 190};
constexpr int kBusyDotStep = 16;
constexpr int kBusyPictureWidth = 6 * kBusyDotStep;
constexpr int kBusyTextBelowCentre = 15;
constexpr int kBusyDotsAboveCentre = 10;
constexpr int kEmptyTextLeft = 30;
constexpr int kEmptyTextRight = 20;

}  // namespace

AceListMetrics AceListMetricsForDpi(int dpi) {
    const AceListMetrics at96;
    auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    return {dpi,
            s(at96.rowHeight),
            s(at96.pictureSide),
            s(at96.pictureDrop),
            s(at96.textInset),
            s(at96.arrowRoom)};
}

std::vector<int> AceColumnWidths(bool isFile, int dpi, int longestRightName, int longestScopeText) {
    std::vector<int> widths;
    for (size_t column = 0; column < (isFile ? 6u : 7u); ++column)
        widths.push_back(ScaleForDpi(kColumnWidths[column], dpi));
    const AceListMetrics metrics = AceListMetricsForDpi(dpi);
    const int insets = 2 * metrics.textInset;
    widths[2] = std::max(widths[2], longestRightName + insets);
    if (!isFile)
        widths[6] = std::max(widths[6], longestScopeText + insets + metrics.arrowRoom);
    return widths;
}

std::vector<PixelRect> AceCellRects(const PixelRect& row, const std::vector<int>& widths) {
    std::vector<PixelRect> cells;
    int left = row.left;
    for (int width : widths) {
        cells.push_back({left, row.top, left + width, row.bottom});
        left += width;
    }
    return cells;
}

PixelPoint CellPictureOrigin(const PixelRect& cell, const AceListMetrics& metrics) {
    return {cell.left + (cell.Width() - metrics.pictureSide) / 2, cell.top + metrics.pictureDrop};
}

PixelPoint ScopeArrowOrigin(const PixelRect& cell, const AceListMetrics& metrics) {
    return {cell.right - metrics.arrowRoom, cell.top + metrics.pictureDrop};
}

BusyPicture BusyPictureFor(int clientWidth, int clientHeight, int dpi) {
    auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    BusyPicture picture;
    const int middle = clientHeight / 2;
    picture.text = {0, middle + s(kBusyTextBelowCentre), clientWidth, clientHeight};
    const int left = (clientWidth - s(kBusyPictureWidth)) / 2;
    for (int i = 0; i < 6; ++i)
        picture.dots[static_cast<size_t>(i)] = {left + s(i * kBusyDotStep),
                                                middle - s(kBusyDotsAboveCentre)};
    return picture;
}

PixelRect EmptyTextRectFor(int clientWidth, int clientHeight, int textHeight, int dpi) {
    const int top = std::max(0, (clientHeight - textHeight) / 2);
    return {ScaleForDpi(kEmptyTextLeft, dpi), top, clientWidth - ScaleForDpi(kEmptyTextRight, dpi),
            top + textHeight};
}

int At96Dpi(int pixels, int dpi) {
    return ScaleBetweenDpi(pixels, dpi, kBaseDpi);
}

}  // namespace vm
