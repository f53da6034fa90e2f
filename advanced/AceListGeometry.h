// Where the ACE list draws: its column widths, the pictures in its cells,
// the waiting picture and the empty-list text. Pixel arithmetic only; every
// size is named at 96 DPI and taken at the list's DPI.
#pragma once

#include <array>
#include <vector>

#include "lists/ListGeometry.h"

namespace vm {

struct AceListMetrics {
    int dpi = kBaseDpi;
    int rowHeight = 22;    // fixed rows, answered to WM_MEASUREITEM
    int pictureSide = 16;  // entry, cell and arrow pictures
    int pictureDrop = 3;   // pictures sit this far below the row's top
    int textInset = 6;     // texts inside their cells, both sides
    int arrowRoom = 22;    // the scope arrow at the right end of "Apply to"
};

AceListMetrics AceListMetricsForDpi(int dpi);

// The columns' widths at the DPI: seven for a folder, six for a file. The
// name column is widened to fit the longest right's name and "Apply to" the
// longest scope text beside its arrow (text widths measured at the DPI), so
// that neither is cut off in a font wider than the one the sizes were named in.
std::vector<int> AceColumnWidths(bool isFile, int dpi, int longestRightName = 0,
                                 int longestScopeText = 0);

// The cells of a row, left to right, from the row's left edge.
std::vector<PixelRect> AceCellRects(const PixelRect& row, const std::vector<int>& widths);

// A picture centred horizontally in a cell, pictureDrop below the top.
PixelPoint CellPictureOrigin(const PixelRect& cell, const AceListMetrics& metrics);
// The scope arrow: its left edge arrowRoom left of the cell's right edge.
PixelPoint ScopeArrowOrigin(const PixelRect& cell, const AceListMetrics& metrics);

// "Please wait..." and its six dots in a client area of that size.
struct BusyPicture {
    PixelRect text;  // drawn centred horizontally, single-line
    std::array<PixelPoint, 6> dots;
};
BusyPicture BusyPictureFor(int clientWidth, int clientHeight, int dpi);
// The frame after frame (0 to 5, then 0 again).
inline int NextBusyFrame(int frame) {
    return (frame + 1) % 6;
}

// The empty-list text's rectangle: 30 pixels in from the left, 20 from the
// right, centred vertically for a text of textHeight.
PixelRect EmptyTextRectFor(int clientWidth, int clientHeight, int textHeight, int dpi);

// A horizontal position in pixels at the DPI as the 96-DPI position the
// list's rules are named in (the scope arrow's 20-pixel click area).
int At96Dpi(int pixels, int dpi);

}  // namespace vm
