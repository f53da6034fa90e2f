#include "lists/ListGeometry.h"

namespace vm {

int HotRowAt(PixelPoint cursor, const PixelRect& row0Bounds, int rowHeight) {
    if (cursor.x > row0Bounds.right || rowHeight <= 0)
        return -1;
    // Integer division truncates toward zero, so a cursor over the header
    // would give row 0; above row 0 there is no hot row.
    if (cursor.y < row0Bounds.top)
        return -1;
    return (cursor.y - row0Bounds.top) / rowHeight;
}

bool ClickHitsCheckBox(int clickX, int column, const PixelRect& rowBounds, int rowHeight) {
    return column == 0 && clickX < rowBounds.left + rowHeight;
}

bool ClickIsRightOfRow(int clickX, const PixelRect& rowBounds) {
    return clickX > rowBounds.right;
}

bool ColumnHasCellIcon(int column) {
    return column == 3 || column == 4;
}

PixelRect CellTextRect(const PixelRect& cell, int column, bool checkBoxes, int rowHeight) {
    PixelRect text = cell;
    text.left += 6;
    text.right -= 6;
    if (column == 0)
        text.left += checkBoxes ? 26 : 16;
    if (ColumnHasCellIcon(column))
        text.left += rowHeight;
    return text;
}

PixelPoint CellIconOrigin(const PixelRect& cell, int rowHeight) {
    return {cell.left + 4, cell.top + (rowHeight - kSmallIconSize) / 2 + 1};
}

PixelPoint RowIconOrigin(const PixelRect& iconRect, bool checkBoxes) {
    return {iconRect.left + (checkBoxes ? 10 : 0), iconRect.top + 4};
}

PixelRect CheckBoxRect(const PixelRect& iconRect, int rowTop, int rowHeight, int width,
                       int height) {
    PixelRect box;
    box.right = iconRect.left;
    box.left = box.right - width;
    box.top = rowTop + (rowHeight - height) / 2;
    box.bottom = box.top + height;
    return box;
}

PixelRect EmptyTextRect(const PixelRect& client) {
    PixelRect rect = client;
    rect.top += kEmptyTextTopOffset;
    return rect;
}

}  // namespace vm
