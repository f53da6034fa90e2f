#include "lists/ListGeometry.h"

namespace vm {

ListMetrics ListMetricsForDpi(int dpi) {
    const ListMetrics base;
    const auto s = [dpi](int pixelsAt96) { return ScaleForDpi(pixelsAt96, dpi); };
    ListMetrics metrics;
    metrics.dpi = dpi;
    metrics.rowHeight = s(base.rowHeight);
    metrics.iconSize = s(base.iconSize);
    metrics.textInset = s(base.textInset);
    metrics.rowIconRoom = s(base.rowIconRoom);
    metrics.checkBoxIconRoom = s(base.checkBoxIconRoom);
    metrics.checkBoxShift = s(base.checkBoxShift);
    metrics.cellIconLeft = s(base.cellIconLeft);
    metrics.cellIconDrop = s(base.cellIconDrop);
    metrics.stateImageWidth = s(base.stateImageWidth);
    metrics.defaultCheckBoxSide = s(base.defaultCheckBoxSide);
    metrics.emptyTextTop = s(base.emptyTextTop);
    metrics.uncheckableGlyphHeight = s(base.uncheckableGlyphHeight);
    metrics.checkedGlyphHeight = s(base.checkedGlyphHeight);
    return metrics;
}

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

PixelRect CellTextRect(const PixelRect& cell, int column, bool checkBoxes,
                       const ListMetrics& metrics) {
    PixelRect text = cell;
    text.left += metrics.textInset;
    text.right -= metrics.textInset;
    if (column == 0)
        text.left += checkBoxes ? metrics.checkBoxIconRoom : metrics.rowIconRoom;
    if (ColumnHasCellIcon(column))
        text.left += metrics.rowHeight;
    return text;
}

PixelPoint CellIconOrigin(const PixelRect& cell, const ListMetrics& metrics) {
    return {cell.left + metrics.cellIconLeft,
            cell.top + (metrics.rowHeight - metrics.iconSize) / 2 + metrics.cellIconDrop};
}

PixelPoint RowIconOrigin(const PixelRect& iconRect, bool checkBoxes, const ListMetrics& metrics) {
    return {iconRect.left + (checkBoxes ? metrics.checkBoxShift : 0),
            iconRect.top + (metrics.rowHeight - metrics.iconSize) / 2};
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

PixelRect EmptyTextRect(const PixelRect& client, const ListMetrics& metrics) {
    PixelRect rect = client;
    rect.top += metrics.emptyTextTop;
    return rect;
}

}  // namespace vm
