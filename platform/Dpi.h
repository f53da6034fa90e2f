// Display scale arithmetic. Every pixel size the program names (row heights,
// column widths, icon and picture sizes, margins, window and minimum sizes)
// is a size at 96 DPI, the scale Windows calls 100%; a window scales it by its
// own DPI where it uses it (GetDpiForWindow docs: a per-monitor aware window
// gets the DPI of the monitor it is on).
#pragma once

#include <array>

namespace vm {

inline constexpr int kBaseDpi = 96;

// A size at 96 DPI at the given DPI, rounded to the nearest pixel (halves
// away from zero, as MulDiv rounds). A DPI of 0 or less counts as 96.
int ScaleForDpi(int pixelsAt96, int dpi);
// A size measured at one DPI, at another (a rectangle kept from the window's
// creation, a column width the user dragged).
int ScaleBetweenDpi(int pixels, int fromDpi, int toDpi);

// The scale of a DPI in percent (96 is 100, 144 is 150).
int ScalePercent(int dpi);

// Pictures are rendered at three scales: 1x, 1.5x and 2x of their size at
// 96 DPI, each its own resource (id + kImageScaleIdStep per step).
enum class ImageScale { k100 = 0, k150 = 1, k200 = 2 };
inline constexpr std::array<ImageScale, 3> kImageScales{ImageScale::k100, ImageScale::k150,
                                                        ImageScale::k200};
// The side of a picture at a scale: 30 gives 30, 45 and 60.
int ImageSideAt(int baseSide, ImageScale scale);
// The rendering to draw at wantedSide pixels: the one whose side is nearest;
// between two equally near, the larger (scaling down keeps edges sharp).
ImageScale NearestImageScale(int baseSide, int wantedSide);
// The resource id of a picture at a scale.
inline constexpr int kImageScaleIdStep = 1000;
constexpr int ImageResourceIdAt(int baseId, ImageScale scale) {
    return baseId + kImageScaleIdStep * static_cast<int>(scale);
}

}  // namespace vm
