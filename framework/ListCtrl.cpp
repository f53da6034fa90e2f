#include "framework/ListCtrl.h"

namespace vm {

int CListCtrl::InsertColumn(int index, const std::wstring& title, int width, int format) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    column.iSubItem = index;
    return static_cast<int>(Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::HeaderCount() const {
    HWND header = Header();
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<int> CListCtrl::ColumnOrder() const {
    std::vector<int> order(static_cast<size_t>(HeaderCount()));
    if (!order.empty())
        Send(LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    return order;
}

bool CListCtrl::SetColumnOrder(const std::vector<int>& order) {
    return Send(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())) != 0;
}

int CListCtrl::InsertItem(int index, const std::wstring& text, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return Send(LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring CListCtrl::ItemText(int row, int column) const {
    // LVM_GETITEMTEXT gives no length; grow until the text fits.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto length =
            static_cast<size_t>(Send(LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

bool CListCtrl::SetItemData(int row, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM CListCtrl::ItemData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

int CListCtrl::ItemImage(int row) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

bool CListCtrl::SetItemState(int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::vector<int> CListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (int row = NextItem(-1, LVNI_SELECTED); row >= 0; row = NextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

RECT CListCtrl::ItemRect(int row, int code) const {
    RECT rect{};
    rect.left = code;
    Send(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

RECT CListCtrl::SubItemRect(int row, int column, int code) const {
    RECT rect{};
    rect.top = column;
    rect.left = code;
    Send(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

int CListCtrl::HitTest(POINT client, UINT* flags, int* column) const {
    LVHITTESTINFO info{};
    info.pt = client;
    int row = static_cast<int>(Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags != nullptr)
        *flags = info.flags;
    if (column != nullptr)
        *column = info.iSubItem;
    return row;
}

void RequestOwnerDrawRowHeight(HWND list) {
    RECT rect{};
    GetWindowRect(list, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(list, nullptr, 0, 0, width, height + 1, kFlags);
    SetWindowPos(list, nullptr, 0, 0, width, height, kFlags | SWP_FRAMECHANGED);
}

}  // namespace vm
