// Reading and selecting list-view rows. The messages carry pointers into
// this process, so the list must belong to this program (any thread).
#include "harness/Harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace vm::harness {

namespace {

bool BelongsToThisProcess(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId())
        return true;
    ADD_FAILURE() << "list view " << window << " belongs to another program";
    return false;
}

// Reads a text through a message that fills a caller's buffer and returns
// the number of characters copied; retries with a larger buffer while the
// text may have been cut.
template <class Fill>
std::wstring ReadText(Fill fill) {
    for (int capacity = 256; capacity <= (1 << 20); capacity *= 4) {
        std::wstring buffer(capacity, L'\0');
        int copied = fill(buffer.data(), capacity);
        if (copied < capacity - 1) {
            buffer.resize(copied > 0 ? copied : 0);
            return buffer;
        }
    }
    return L"";
}

}  // namespace

int ListViewRowCount(HWND list) {
    return static_cast<int>(Send(list, LVM_GETITEMCOUNT));
}

int ListViewColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
    return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT)) : 0;
}

std::wstring ListViewColumnTitle(HWND list, int column) {
    if (!BelongsToThisProcess(list))
        return L"";
    return ReadText([&](wchar_t* buffer, int capacity) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = buffer;
        info.cchTextMax = capacity;
        if (!Send(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)))
            return 0;
        // The control may point pszText at text of its own.
        std::wstring_view text(info.pszText);
        if (info.pszText != buffer)
            text.copy(buffer, capacity - 1);
        return static_cast<int>(text.size());
    });
}

std::vector<std::wstring> ListViewColumnTitles(HWND list) {
    std::vector<std::wstring> titles;
    int count = ListViewColumnCount(list);
    for (int column = 0; column < count; ++column)
        titles.push_back(ListViewColumnTitle(list, column));
    return titles;
}

std::wstring ListViewText(HWND list, int row, int column) {
    if (!BelongsToThisProcess(list))
        return L"";
    return ReadText([&](wchar_t* buffer, int capacity) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = capacity;
        return static_cast<int>(Send(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    });
}

std::vector<std::wstring> ListViewRow(HWND list, int row) {
    std::vector<std::wstring> cells;
    int columns = ListViewColumnCount(list);
    if (columns == 0)
        columns = 1;  // list and icon views have no header
    for (int column = 0; column < columns; ++column)
        cells.push_back(ListViewText(list, row, column));
    return cells;
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND list) {
    std::vector<std::vector<std::wstring>> rows;
    int count = ListViewRowCount(list);
    for (int row = 0; row < count; ++row)
        rows.push_back(ListViewRow(list, row));
    return rows;
}

std::vector<int> ListViewSelectedRows(HWND list) {
    std::vector<int> rows;
    int row = -1;
    while ((row = static_cast<int>(Send(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0) {
        rows.push_back(row);
    }
    return rows;
}

void SelectListViewRows(HWND list, const std::vector<int>& rows) {
    if (!BelongsToThisProcess(list))
        return;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
        Send(list, LVM_SETITEMSTATE, rows[i], reinterpret_cast<LPARAM>(&select));
    }
}

}  // namespace vm::harness
