// The arithmetic of the custom controls (image button, themed progress bar,
// PNG icon menu), apart from their drawing.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

// ---- Image button ------------------------------------------------------------

inline constexpr int kDefaultButtonImageSize = 30;

// Left edge of the button's image: 8 with a caption, else centred.
int ButtonImageLeft(bool showText, int clientWidth, int imageSize);
// Top edge of the image: centred vertically.
int ButtonImageTop(int clientHeight, int imageSize);
// Left edge of the caption's rectangle.
inline int ButtonCaptionLeft(int imageSize) {
    return imageSize + 16;
}

// The 5x5 colour matrix of a disabled image: grey by luminance
// (0.299 R + 0.587 G + 0.114 B) and 0.6 of its alpha; row-major, GDI+ order.
struct ColourMatrix {
    float m[5][5];
};
ColourMatrix DisabledImageMatrix();
inline constexpr float kHoverGamma = 0.6f;

// ---- Progress bar --------------------------------------------------------------

inline constexpr unsigned kProgressTimerMs = 30;
inline constexpr int kMarkerStep = 8;
inline constexpr int kUnthemedMarkerWidth = 100;

// SetPos posts "complete" (WM_USER+101) when the value truncated to an
// integer is 100.
bool ProgressReachesCompletion(float position);
// The fill's right edge: inner left + (position - minimum) * clientWidth /
// (maximum - minimum), plus 0.5, truncated; the left edge when the range is
// empty.
int ProgressFillRight(int innerLeft, float position, float minimum, float maximum, int clientWidth);
// One timer tick: the marker moves 8 pixels right; past the client width it
// starts again at minus its width.
int AdvanceMarker(int markerOffset, int markerWidth, int clientWidth);

// ---- PNG icon menu ------------------------------------------------------------------

inline constexpr int kDefaultMenuItemHeight = 20;
inline constexpr int kPopupMenuItemHeight = 24;
inline constexpr int kMenuIconSize = 16;
inline constexpr int kSeparatorHeight = 6;
inline constexpr size_t kMenuTextCapacity = 259;  // wide characters before the NUL

// Width of an item: the larger of its text's width and 100, plus the item
// height, plus whatever the icon gutter and the right margin take beyond the
// item height, so that the text always has its full room. The text's width
// is the label's, and with an accelerator also a 24-pixel gap and the
// accelerator's. Height: the item height, or 6 for a separator (item id 0).
int MenuItemWidth(int labelExtent, int acceleratorExtent, int itemHeight, int iconSize);
int MenuItemHeight(bool separator, int itemHeight);

// The two parts of an item's text: the label, and after a tab the
// accelerator text.
struct MenuItemText {
    std::wstring label;
    std::wstring accelerator;
};
MenuItemText SplitMenuItemText(const std::wstring& text);
// The text as the item's data keeps it: at most 259 characters.
std::wstring ClampMenuItemText(const std::wstring& text);

}  // namespace vm
