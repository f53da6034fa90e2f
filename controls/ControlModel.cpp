#include "controls/ControlModel.h"

#include <algorithm>

namespace vm {

int ButtonImageLeft(bool showText, int clientWidth, int imageSize, int dpi) {
    return showText ? ScaleForDpi(8, dpi) : (clientWidth - imageSize) / 2;
}

int ButtonCaptionLeft(int imageSize, int dpi) {
    return imageSize + ScaleForDpi(16, dpi);
}

int ButtonImageTop(int clientHeight, int imageSize) {
    return (clientHeight - imageSize) / 2;
}

ColourMatrix DisabledImageMatrix() {
    // GDI+ multiplies a row vector (R, G, B, A, 1) by the matrix: column j
    // gives output channel j.
    return {{
        {0.299f, 0.299f, 0.299f, 0.0f, 0.0f},
        {0.587f, 0.587f, 0.587f, 0.0f, 0.0f},
        {0.114f, 0.114f, 0.114f, 0.0f, 0.0f},
        {0.0f, 0.0f, 0.0f, 0.6f, 0.0f},
        {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
    }};
}

bool ProgressReachesCompletion(float position) {
    return static_cast<int>(position) == 100;
}

int ProgressFillRight(int innerLeft, float position, float minimum, float maximum,
                      int clientWidth) {
    if (!(maximum > minimum))
        return innerLeft;
    const float filled =
        (position - minimum) * static_cast<float>(clientWidth) / (maximum - minimum);
    return innerLeft + static_cast<int>(filled + 0.5f);
}

int UnthemedMarkerWidth(int dpi) {
    return ScaleForDpi(kUnthemedMarkerWidth, dpi);
}

int AdvanceMarker(int markerOffset, int markerWidth, int clientWidth, int dpi) {
    const int next = markerOffset + ScaleForDpi(kMarkerStep, dpi);
    return next > clientWidth ? -markerWidth : next;
}

MenuMetrics MenuMetricsForDpi(int dpi, int itemHeight, int iconSize) {
    const MenuMetrics base;
    const auto s = [dpi](int pixelsAt96) { return ScaleForDpi(pixelsAt96, dpi); };
    MenuMetrics metrics;
    metrics.itemHeight = s(itemHeight);
    metrics.iconSize = s(iconSize);
    metrics.separatorHeight = s(base.separatorHeight);
    metrics.minTextWidth = s(base.minTextWidth);
    metrics.acceleratorGap = s(base.acceleratorGap);
    metrics.gutterBeyondIcon = s(base.gutterBeyondIcon);
    metrics.textBeyondIcon = s(base.textBeyondIcon);
    metrics.textRightInset = s(base.textRightInset);
    metrics.iconLeft = s(base.iconLeft);
    metrics.subMenuArrowWidth = s(base.subMenuArrowWidth);
    metrics.subMenuClipWidth = s(base.subMenuClipWidth);
    metrics.checkInset = s(base.checkInset);
    metrics.checkRight = s(base.checkRight);
    metrics.checkGlyphHeight = s(base.checkGlyphHeight);
    return metrics;
}

int MenuItemWidth(int labelExtent, int acceleratorExtent, const MenuMetrics& metrics) {
    const int text =
        labelExtent + (acceleratorExtent > 0 ? metrics.acceleratorGap + acceleratorExtent : 0);
    // The text rectangle starts iconSize + 18 in and ends 15 before the edge.
    const int margins = std::max(
        0, metrics.iconSize + metrics.textBeyondIcon + metrics.textRightInset - metrics.itemHeight);
    return std::max(text, metrics.minTextWidth) + metrics.itemHeight + margins;
}

int MenuItemHeight(bool separator, const MenuMetrics& metrics) {
    return separator ? metrics.separatorHeight : metrics.itemHeight;
}

MenuItemText SplitMenuItemText(const std::wstring& text) {
    const size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos)
        return {text, {}};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

std::wstring ClampMenuItemText(const std::wstring& text) {
    return text.size() > kMenuTextCapacity ? text.substr(0, kMenuTextCapacity) : text;
}

}  // namespace vm
