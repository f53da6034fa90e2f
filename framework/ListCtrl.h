// CListCtrl: a thin wrapper over a report-view list-view control (comctl32
// 6.0). It adds nothing the control does not do; classes that draw or sort
// themselves derive from it.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Window.h"

namespace vm {

class CListCtrl : public CWnd {
  public:
    // Columns.
    int InsertColumn(int index, const std::wstring& title, int width, int format = LVCFMT_LEFT);
    bool DeleteColumn(int index) { return Send(LVM_DELETECOLUMN, index) != 0; }
    int HeaderCount() const;
    HWND Header() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }
    std::vector<int> ColumnOrder() const;
    bool SetColumnOrder(const std::vector<int>& order);
    int ColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
    bool SetColumnWidth(int column, int width) {
        return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != 0;
    }

    // Rows.
    int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int InsertItem(int index, const std::wstring& text, int image = I_IMAGENONE);
    bool DeleteItem(int index) { return Send(LVM_DELETEITEM, index) != 0; }
    bool DeleteAllItems() { return Send(LVM_DELETEALLITEMS) != 0; }
    // LVM_SETITEMCOUNT: room for this many rows before a bulk insert.
    void ReserveItems(int count) {
        Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
    }
    bool SetItemText(int row, int column, const std::wstring& text);
    std::wstring ItemText(int row, int column) const;
    bool SetItemData(int row, LPARAM data);
    LPARAM ItemData(int row) const;
    int ItemImage(int row) const;
    UINT ItemState(int row, UINT mask) const {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, row, mask));
    }
    bool SetItemState(int row, UINT state, UINT mask);  // row -1: every row
    bool IsSelected(int row) const { return ItemState(row, LVIS_SELECTED) != 0; }
    int SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    // Selected rows in ascending order.
    std::vector<int> SelectedRows() const;
    int NextItem(int start, UINT flags) const {
        return static_cast<int>(Send(LVM_GETNEXTITEM, start, flags));
    }
    bool EnsureVisible(int row) { return Send(LVM_ENSUREVISIBLE, row, FALSE) != 0; }

    // Geometry.
    RECT ItemRect(int row, int code = LVIR_BOUNDS) const;
    RECT SubItemRect(int row, int column, int code = LVIR_BOUNDS) const;
    int HitTest(POINT client, UINT* flags = nullptr, int* column = nullptr) const;

    // Styles, drawing and sorting.
    DWORD ExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD mask, DWORD style) {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
    }
    // LVM_SORTITEMS: compare gets the two rows' item data and context.
    bool SortItems(PFNLVCOMPARE compare, LPARAM context) {
        return Send(LVM_SORTITEMS, static_cast<WPARAM>(context),
                    reinterpret_cast<LPARAM>(compare)) != 0;
    }
};

// An owner-drawn list (LVS_OWNERDRAWFIXED) asks its parent for the row
// height (WM_MEASUREITEM) when it is created, before a subclass can answer.
// A position change makes it ask again: the window goes one pixel taller and
// back, since a change to the same size may not count as one.
void RequestOwnerDrawRowHeight(HWND list);

// Switches a window's drawing off (WM_SETREDRAW) for the guard's life, then
// on again and repaints the window, however the scope is left. Bulk changes
// of a list go inside one. Guards do not nest on one window: the inner one
// would switch drawing on early.
class RedrawGuard {
  public:
    explicit RedrawGuard(const CWnd& window) : window_(window.hwnd()) {
        SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawGuard() {
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, FALSE);
    }
    RedrawGuard(const RedrawGuard&) = delete;
    RedrawGuard& operator=(const RedrawGuard&) = delete;

  private:
    HWND window_;
};

}  // namespace vm
