// Where the themed item list draws things and what a mouse position means,
// as plain arithmetic over rectangles (client coordinates, pixels). The sizes
// are named at 96 DPI; ListMetricsForDpi gives them at the list's DPI.
#pragma once

#include <cstdint>

#include "platform/Dpi.h"

namespace vm {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

inline constexpr int kItemRowHeight = 25;
inline constexpr int kSmallIconSize = 16;
inline constexpr int kEmptyTextTopOffset = 50;  // "This folder is empty." below the top
inline constexpr int kDefaultCheckBoxSide = 13;
// Room a list view with check boxes keeps for its state image before the
// icon; the list draws its own boxes there.
inline constexpr int kStateImageWidth = 16;

// The sizes of one list at its DPI.
struct ListMetrics {
    int dpi = kBaseDpi;
    int rowHeight = kItemRowHeight;
    int iconSize = kSmallIconSize;  // the row's icon and the access and owner icons
    int textInset = 6;              // text rectangle inside a cell, both sides
    int rowIconRoom = 16;           // column 0's text moves right by this ...
    int checkBoxIconRoom = 26;      // ... or by this with check boxes
    int checkBoxShift = 10;         // the row icon moves right with check boxes
    int cellIconLeft = 4;
    int cellIconDrop = 1;  // the cell icon sits one pixel below the centre
    int stateImageWidth = kStateImageWidth;
    int defaultCheckBoxSide = kDefaultCheckBoxSide;
    int emptyTextTop = kEmptyTextTopOffset;
    int uncheckableGlyphHeight = 14;  // "marlett" glyphs of the unthemed boxes
    int checkedGlyphHeight = 20;
    bool operator==(const ListMetrics&) const = default;
};
ListMetrics ListMetricsForDpi(int dpi);

// The row under the cursor from row 0's bounds and the row height: -1 right
// of the rows or above row 0 (over the header), else (y - top) / height.
// Below the last row the index runs past the end and matches no row.
int HotRowAt(PixelPoint cursor, const PixelRect& row0Bounds, int rowHeight);

// A click at x in column 0 of a row toggles its check box when x lies left of
// the row's left edge plus the row height.
bool ClickHitsCheckBox(int clickX, int column, const PixelRect& rowBounds, int rowHeight);

// A click right of the clicked row's bounds clears every row's state.
bool ClickIsRightOfRow(int clickX, const PixelRect& rowBounds);

// The text rectangle of a cell: 6 pixels in from both sides; in column 0 a
// further 26 (with check boxes) or 16 pixels for the row's icon; in the
// access (3) and owner (4) columns a further row height for the cell icon.
PixelRect CellTextRect(const PixelRect& cell, int column, bool checkBoxes,
                       const ListMetrics& metrics);
// Where the access or owner icon of a cell goes (its top-left corner): 4
// pixels in, one pixel below the middle of the row.
PixelPoint CellIconOrigin(const PixelRect& cell, const ListMetrics& metrics);
// Whether a column carries a cell icon (access 3, owner 4).
bool ColumnHasCellIcon(int column);

// The row icon's left edge: the icon rectangle's, 10 pixels further right
// with check boxes; centred in the row (4 pixels below the top at 96 DPI).
PixelPoint RowIconOrigin(const PixelRect& iconRect, bool checkBoxes, const ListMetrics& metrics);
// The check box ends at the icon rectangle's left edge and is centred
// vertically in the row height.
PixelRect CheckBoxRect(const PixelRect& iconRect, int rowTop, int rowHeight, int width, int height);

// The rectangle "This folder is empty." is centred in.
PixelRect EmptyTextRect(const PixelRect& client, const ListMetrics& metrics);

}  // namespace vm
