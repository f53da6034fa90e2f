#include "controls/ControlModel.h"

#include <algorithm>

namespace vm {

int ButtonImageLeft(bool showText, int clientWidth, int imageSize) {
    return showText ? 8 : (clientWidth - imageSize) / 2;
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

int AdvanceMarker(int markerOffset, int markerWidth, int clientWidth) {
    const int next = markerOffset + kMarkerStep;
    return next > clientWidth ? -markerWidth : next;
}

int MenuItemWidth(int labelExtent, int acceleratorExtent, int itemHeight, int iconSize) {
    const int text = labelExtent + (acceleratorExtent > 0 ? 24 + acceleratorExtent : 0);
    // The text rectangle starts iconSize + 18 in and ends 15 before the edge.
    const int margins = std::max(0, iconSize + 18 + 15 - itemHeight);
    return std::max(text, 100) + itemHeight + margins;
}

int MenuItemHeight(bool separator, int itemHeight) {
    return separator ? kSeparatorHeight : itemHeight;
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
