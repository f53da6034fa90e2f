// The arithmetic of the custom controls (image button, themed progress bar,
// PNG icon menu), apart from their drawing. Sizes are named at 96 DPI and
// scaled by the control's DPI (platform/Dpi.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Dpi.h"

namespace vm {

// ---- Image button ------------------------------------------------------------

inline constexpr int kDefaultButtonImageSize = 30;

// Left edge of the button's image: 8 with a caption, else centred.
// imageSize is the drawn side in pixels at this DPI.
int ButtonImageLeft(bool showText, int clientWidth, int imageSize, int dpi);
// Top edge of the image: centred vertically.
int ButtonImageTop(int clientHeight, int imageSize);
// Left edge of the caption's rectangle: 16 pixels right of the image side.
int ButtonCaptionLeft(int imageSize, int dpi);

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
int UnthemedMarkerWidth(int dpi);

// SetPos posts "complete" (WM_USER+101) when the value truncated to an
// integer is 100.
bool ProgressReachesCompletion(float position);
// The fill's right edge: inner left + (position - minimum) * clientWidth /
// (maximum - minimum), plus 0.5, truncated; the left edge when the range is
// empty.
int ProgressFillRight(int innerLeft, float position, float minimum, float maximum, int clientWidth);
// One timer tick: the marker moves 8 pixels right; past the client width it
// starts again at minus its width.
int AdvanceMarker(int markerOffset, int markerWidth, int clientWidth, int dpi);

// ---- PNG icon menu ------------------------------------------------------------------

inline constexpr int kDefaultMenuItemHeight = 20;
inline constexpr int kPopupMenuItemHeight = 24;
inline constexpr int kMenuIconSize = 16;
inline constexpr int kSeparatorHeight = 6;
inline constexpr size_t kMenuTextCapacity = 259;  // wide characters before the NUL

// The sizes of a popup menu's items at its DPI.
struct MenuMetrics {
    int itemHeight = kDefaultMenuItemHeight;
    int iconSize = kMenuIconSize;
    int separatorHeight = kSeparatorHeight;
    int minTextWidth = 100;
    int acceleratorGap = 24;
    int gutterBeyondIcon = 12;  // the gutter ends iconSize + 12 from the left
    int textBeyondIcon = 18;    // the text starts iconSize + 18 from the left
    int textRightInset = 15;
    int iconLeft = 4;
    int subMenuArrowWidth = 18;
    int subMenuClipWidth = 30;  // kept from the system's own arrow
    int checkInset = 2;         // the mark's box: (2, 2) to (24, bottom - 2)
    int checkRight = 24;
    int checkGlyphHeight = 20;  // "marlett" marks without themes
    bool operator==(const MenuMetrics&) const = default;
};
// itemHeight and iconSize are named at 96 DPI too.
MenuMetrics MenuMetricsForDpi(int dpi, int itemHeight = kDefaultMenuItemHeight,
                              int iconSize = kMenuIconSize);

// Width of an item: the larger of its text's width and 100, plus the item
// height, plus whatever the icon gutter and the right margin take beyond the
// item height, so that the text always has its full room. The text's width
// is the label's, and with an accelerator also a 24-pixel gap and the
// accelerator's. Height: the item height, or 6 for a separator (item id 0).
int MenuItemWidth(int labelExtent, int acceleratorExtent, const MenuMetrics& metrics);
int MenuItemHeight(bool separator, const MenuMetrics& metrics);

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
