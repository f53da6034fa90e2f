#include "lists/KRVListCtrl.win32.h"

#include <shellapi.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "app/Messages.h"
#include "framework/Dpi.h"
#include "lists/ItemListModel.h"
#include "lists/ListGeometry.h"

namespace vm {
namespace {

constexpr COLORREF kMissingItemBackground = RGB(255, 243, 197);
constexpr wchar_t kEmptyFolderText[] = L"This folder is empty.";

PixelRect ToPixel(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// lstrcmpW: locale-aware and case-sensitive, as the shell sorts names.
int LocaleCompare(const std::wstring& a, const std::wstring& b) {
    return lstrcmpW(a.c_str(), b.c_str());
}

}  // namespace

CKRVListCtrl::CKRVListCtrl(const ListEnvironment& environment) : environment_(environment) {}

CKRVListCtrl::~CKRVListCtrl() {
    if (hwnd() != nullptr)
        FreeAllRows();
}

std::span<const Route<CKRVListCtrl>> CKRVListCtrl::Routes() {
    static const Route<CKRVListCtrl> routes[] = {
        OnReflected(WM_NOTIFY, NM_CUSTOMDRAW, &CKRVListCtrl::OnCustomDraw),
        OnReflected(WM_MEASUREITEM, kAnyCode, &CKRVListCtrl::OnMeasureItem),
        OnReflected(WM_DRAWITEM, kAnyCode, &CKRVListCtrl::OnDrawItem),
        OnReflected(WM_NOTIFY, LVN_HOTTRACK, &CKRVListCtrl::OnHotTrack),
        OnReflected(WM_NOTIFY, NM_CLICK, &CKRVListCtrl::OnClick),
        OnReflected(WM_NOTIFY, LVN_COLUMNCLICK, &CKRVListCtrl::OnColumnClick),
        OnReflected(WM_NOTIFY, LVN_ITEMCHANGED, &CKRVListCtrl::OnItemChanged),
        OnReflected(WM_NOTIFY, LVN_ODSTATECHANGED, &CKRVListCtrl::OnRangeChanged),
        OnReflected(WM_NOTIFY, LVN_GETDISPINFOW, &CKRVListCtrl::OnGetDispInfo),
        OnReflected(WM_NOTIFY, LVN_ODFINDITEMW, &CKRVListCtrl::OnFindItem),
        OnReflected(WM_NOTIFY, LVN_KEYDOWN, &CKRVListCtrl::OnKeyDown),
        OnMsg(WM_HSCROLL, &CKRVListCtrl::OnScroll),
        OnMsg(WM_VSCROLL, &CKRVListCtrl::OnScroll),
        OnMsg(WM_MOUSEWHEEL, &CKRVListCtrl::OnScroll),
        OnMsg(WM_MOUSEMOVE, &CKRVListCtrl::OnMouseMove),
        OnMsg(WM_MOUSELEAVE, &CKRVListCtrl::OnMouseLeave),
        OnMsg(WM_THEMECHANGED, &CKRVListCtrl::OnThemeChanged),
        OnMsg(WM_PAINT, &CKRVListCtrl::OnPaint),
        OnMsg(WM_PRINTCLIENT, &CKRVListCtrl::OnPrintClient),
        OnMsg(WM_SETFONT, &CKRVListCtrl::OnSetFont),
        OnMsg(WM_SETREDRAW, &CKRVListCtrl::OnSetRedraw),
    };
    return routes;
}

bool CKRVListCtrl::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CListCtrl::OnMessage(m, result);
}

// ---- Set-up and rows ------------------------------------------------------------

void CKRVListCtrl::OnAttached() {
    metrics_ = ListMetricsForDpi(Dpi());
    // Every row is drawn by us; the list asks the row height again
    // (WM_MEASUREITEM) when its position changes.
    ChangeStyle(0, LVS_OWNERDRAWFIXED);
    RequestRowHeight();
    OpenThemes();
}

// A position change with the current size makes an owner-drawn list ask
// for its row height again (WM_MEASUREITEM). Some list views work the
// height out anew from the font when columns or the font change, so the
// question is asked again after those.
void CKRVListCtrl::RequestRowHeight() {
    const RECT rect = WindowRect();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // A change to the same size may be reported as no size change at all,
    // which some list views do not answer with WM_MEASUREITEM: go one pixel
    // taller and back.
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height + 1, kFlags);
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height, kFlags | SWP_FRAMECHANGED);
}

LRESULT CKRVListCtrl::OnSetRedraw(Message& m) {
    redrawOn_ = m.wParam != FALSE;
    m.handled = false;
    return 0;
}

LRESULT CKRVListCtrl::OnSetFont(Message& m) {
    const LRESULT result = DefaultProcessing(m);
    RequestRowHeight();
    return result;
}

void CKRVListCtrl::OnDpiChanged(int oldDpi, int newDpi) {
    metrics_ = ListMetricsForDpi(newDpi);
    const int columns = HeaderCount();
    for (int column = 0; column < columns; ++column)
        SetColumnWidth(column, ScaleBetweenDpi(ColumnWidth(column), oldDpi, newDpi));
    RequestRowHeight();
    Invalidate();
}

void CKRVListCtrl::OnDestroyed() {
    FreeAllRows();
    listTheme_.Close();
    buttonTheme_.Close();
}

void CKRVListCtrl::OpenThemes() {
    listTheme_.Open(hwnd(), L"Explorer::ListView");
    if (!listTheme_)
        listTheme_.Open(hwnd(), L"ListView");
    buttonTheme_.Open(hwnd(), L"Button");
    ReadTextColours();
}

void CKRVListCtrl::ReadTextColours() {
    if (environment_.Themed() && environment_.VistaOrLater() && listTheme_) {
        COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
        if (SUCCEEDED(
                GetThemeColor(listTheme_.get(), LVP_LISTITEM, LISS_NORMAL, TMT_TEXTCOLOR, &colour)))
            normalText_ = colour;
        else
            normalText_ = GetSysColor(COLOR_WINDOWTEXT);
        selectedText_ = GetSysColor(COLOR_WINDOWTEXT);
    } else {
        normalText_ = GetSysColor(COLOR_WINDOWTEXT);
        selectedText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
}

void CKRVListCtrl::SetUp(ListMode mode) {
    // The list draws its own check boxes: keep the wish, drop the control's
    // own boxes (which would take clicks and room of their own).
    checkBoxes_ = (ExtendedStyle() & LVS_EX_CHECKBOXES) != 0;
    if (checkBoxes_)
        SetExtendedStyle(LVS_EX_CHECKBOXES, 0);
    if (environment_.Themed())
        SetWindowTheme(hwnd(), L"explorer", nullptr);
    SetExtendedStyle(
        LVS_EX_INFOTIP | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
        LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    DragAcceptFiles(hwnd(), mode == ListMode::kEdit);
    // Files dragged from programs without elevation reach this elevated
    // window only through its message filter: WM_DROPFILES, WM_COPYDATA and
    // WM_COPYGLOBALDATA (0x0049), for this window alone.
    if (mode == ListMode::kEdit)
        AllowMessagesFromUnelevatedPrograms(hwnd(), {WM_DROPFILES, WM_COPYDATA, 0x0049});
    mode_ = mode;
    columnCount_ = HeaderCount();
    rows_.SetColumnCount(columnCount_);
    ReadTextColours();
    RequestRowHeight();
}

int CKRVListCtrl::InsertRecordRow(int index, const std::wstring& name,
                                  std::unique_ptr<ItemRecord> record) {
    const int image = IconIndex(record->path, record->BaseKind());
    const bool appended = index < 0 || index >= static_cast<int>(rows_.Count());
    if (!appended)
        MarkSelection();
    const size_t row =
        rows_.Insert(static_cast<size_t>(std::max(index, 0)), std::move(record), image);
    rows_.SetText(row, 0, name);
    ++rowsVersion_;
    // An owner-data list keeps its selection by position: rows below an
    // insertion carry theirs down with them.
    if (batchDepth_ == 0 || !appended)
        ShowRowCount();
    if (!appended)
        RestoreSelection();
    return static_cast<int>(row);
}

void CKRVListCtrl::ShowRowCount() {
    Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.Count()),
         LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (hotRow_ >= static_cast<int>(rows_.Count()))
        hotRow_ = -1;
    if (redrawOn_)
        Invalidate();
}

ItemRecord* CKRVListCtrl::Record(int row) const {
    return row >= 0 ? rows_.Record(static_cast<size_t>(row)) : nullptr;
}

std::vector<ItemRecord*> CKRVListCtrl::SelectedRecords() const {
    std::vector<ItemRecord*> records;
    for (int row : SelectedRows())
        if (ItemRecord* record = Record(row))
            records.push_back(record);
    return records;
}

int CKRVListCtrl::RowOfSerial(uint64_t serial) const {
    for (size_t row = 0; row < rows_.Count(); ++row)
        if (rows_.Record(row)->serial == serial)
            return static_cast<int>(row);
    return -1;
}

const std::wstring& CKRVListCtrl::CellText(int row, int column) const {
    return rows_.Text(static_cast<size_t>(std::max(row, 0)), row >= 0 ? column : -1);
}

void CKRVListCtrl::SetCellText(int row, int column, std::wstring_view text) {
    if (row < 0)
        return;
    rows_.SetText(static_cast<size_t>(row), column, text);
    RedrawRow(row);
}

CKRVListCtrl::RowRange CKRVListCtrl::RowsInView() const {
    const int top = std::max(static_cast<int>(Send(LVM_GETTOPINDEX)), 0);
    const int perPage = static_cast<int>(Send(LVM_GETCOUNTPERPAGE));
    return {top, std::min(top + perPage, static_cast<int>(rows_.Count()) - 1)};
}

void CKRVListCtrl::RedrawRowIn(int row, const RowRange& view) {
    if (!redrawOn_ || batchDepth_ > 0 || !view.Contains(row))
        return;
    const RECT bounds = ItemRect(row);
    InvalidateRect(hwnd(), &bounds, FALSE);
}

void CKRVListCtrl::DeleteRecordRows(std::vector<int> rows) {
    std::vector<size_t> positions;
    for (int row : rows)
        if (row >= 0)
            positions.push_back(static_cast<size_t>(row));
    MarkSelection();
    std::vector<std::unique_ptr<ItemRecord>> removed = rows_.Remove(std::move(positions));
    if (removed.empty())
        return;
    ++rowsVersion_;
    ShowRowCount();
    RestoreSelection();
    for (const auto& record : removed)
        OnRecordRemoved(*record);
}

void CKRVListCtrl::FreeAllRows() {
    std::vector<std::unique_ptr<ItemRecord>> removed = rows_.Clear();
    ++rowsVersion_;
    if (hwnd() != nullptr) {
        SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        Send(LVM_SETITEMCOUNT, 0, 0);
    }
    for (const auto& record : removed)
        OnRecordRemoved(*record);
    hotRow_ = -1;
}

void CKRVListCtrl::MarkSelection() {
    RowSelection selection;
    for (int row : SelectedRows())
        selection.selected.push_back(static_cast<size_t>(row));
    const int focused = NextItem(-1, LVNI_FOCUSED);
    if (focused >= 0)
        selection.focused = static_cast<size_t>(focused);
    rows_.MarkSelection(selection);
}

void CKRVListCtrl::RestoreSelection() {
    const RowSelection selection = rows_.MarkedSelection();
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : selection.selected)
        SetItemState(static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
    if (selection.focused) {
        const int focused = static_cast<int>(*selection.focused);
        SetItemState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
        // The anchor of the next Shift+click range.
        Send(LVM_SETSELECTIONMARK, 0, focused);
    }
}

int CKRVListCtrl::IconIndex(const std::wstring& path, int32_t kind) {
    if (environment_.icons != nullptr) {
        if (auto cached = environment_.icons->Lookup(path, kind))
            return *cached;
    } else if (kind != kKindDriveRoot) {
        return 0;
    }
    SHFILEINFOW info{};
    SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    return info.iIcon;
}

bool CKRVListCtrl::IsChecked(int row) const {
    return row >= 0 && rows_.Checked(static_cast<size_t>(row));
}

void CKRVListCtrl::SetChecked(int row, bool checked) {
    if (row < 0)
        return;
    rows_.SetChecked(static_cast<size_t>(row), checked);
    RedrawRow(row);
}

// Space toggles the boxes of the selected rows, all to the opposite of the
// focused row's (or the first selected row's) box.
void CKRVListCtrl::ToggleSelectedChecks() {
    const std::vector<int> selected = SelectedRows();
    if (selected.empty())
        return;
    const int focused = NextItem(-1, LVNI_FOCUSED);
    const int leader = std::find(selected.begin(), selected.end(), focused) != selected.end()
                           ? focused
                           : selected.front();
    const bool checked = !IsChecked(leader);
    for (int row : selected)
        SetChecked(row, checked);
}

// ---- Sorting ------------------------------------------------------------------------

void CKRVListCtrl::SortByColumn(int column) {
    sort_.OnHeaderClick(column);
    Resort();
}

// The model sorts; the list view is told nothing but where the selection
// and the focus went, and redraws once.
void CKRVListCtrl::Resort() {
    MarkSelection();
    rows_.Sort(sort_, HeaderCount(), LocaleCompare);
    ++rowsVersion_;
    RestoreSelection();
    Invalidate();
}

LRESULT CKRVListCtrl::OnColumnClick(Message& m) {
    const auto& view = *reinterpret_cast<const NMLISTVIEW*>(m.lParam);
    SortByColumn(view.iSubItem);
    return 0;
}

// ---- Mouse ------------------------------------------------------------------------------

void CKRVListCtrl::SetHotRow(int row) {
    if (row == hotRow_)
        return;
    hotRow_ = row;
    Invalidate();
}

LRESULT CKRVListCtrl::OnHotTrack(Message& m) {
    const auto& view = *reinterpret_cast<const NMLISTVIEW*>(m.lParam);
    if (ItemCount() > 0)
        SetHotRow(
            HotRowAt({view.ptAction.x, view.ptAction.y}, ToPixel(ItemRect(0)), metrics_.rowHeight));
    m.handled = false;  // the control's own hot tracking goes on
    return 0;
}

LRESULT CKRVListCtrl::OnMouseMove(Message& m) {
    if (!tracking_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE | TME_HOVER;
        track.hwndTrack = hwnd();
        track.dwHoverTime = 10;
        tracking_ = TrackMouseEvent(&track) != FALSE;
        Invalidate();
    }
    // The hot row follows the mouse here as well: not every list view sends
    // LVN_HOTTRACK without hot-track selection.
    const POINT cursor = m.PointFromLParam();
    if (ItemCount() > 0)
        SetHotRow(HotRowAt({cursor.x, cursor.y}, ToPixel(ItemRect(0)), metrics_.rowHeight));
    m.handled = false;
    return 0;
}

LRESULT CKRVListCtrl::OnMouseLeave(Message& m) {
    tracking_ = false;
    hotRow_ = -1;
    Invalidate();
    m.handled = false;
    return 0;
}

void CKRVListCtrl::ClearAllStates() {
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (checkBoxes_)
        for (size_t row = 0; row < rows_.Count(); ++row)
            rows_.SetChecked(row, false);
    Invalidate();
}

LRESULT CKRVListCtrl::OnClick(Message& m) {
    const auto& activate = *reinterpret_cast<const NMITEMACTIVATE*>(m.lParam);
    const POINT point = activate.ptAction;
    // The row under the click by its height, also right of the columns
    // where the control reports no row.
    int row = activate.iItem;
    if (row < 0 && ItemCount() > 0) {
        const int byHeight = HotRowAt({0, point.y}, ToPixel(ItemRect(0)), metrics_.rowHeight);
        row = byHeight >= 0 && byHeight < ItemCount() ? byHeight : -1;
    }
    if (row >= 0) {
        const PixelRect bounds = ToPixel(ItemRect(row));
        if (ClickIsRightOfRow(point.x, bounds) && SelectedCount() > 0)
            ClearAllStates();
        else if (checkBoxes_ && activate.iItem >= 0 &&
                 ClickHitsCheckBox(point.x, activate.iSubItem, bounds, metrics_.rowHeight))
            SetChecked(row, !IsChecked(row));
    }
    NotifyParentStatus();
    m.handled = false;  // the parent sees the click too
    return 0;
}

void CKRVListCtrl::NotifyParentStatus() const {
    PostMessageW(Parent(), kMsgUpdateStatus, 0, 0);
}

LRESULT CKRVListCtrl::OnItemChanged(Message& m) {
    // While drawing is suspended (a bulk fill) the whole list is redrawn
    // when it is switched on again.
    if (redrawOn_)
        Invalidate();
    m.handled = false;
    return 0;
}

// A range of rows changed state at once (Shift+click in an owner-data list).
LRESULT CKRVListCtrl::OnRangeChanged(Message& m) {
    if (redrawOn_)
        Invalidate();
    m.handled = false;
    return 0;
}

// What the list view asks of an owner-data row besides its drawing (which is
// ours): the texts, for anyone reading them (LVM_GETITEMTEXT), and the icon.
LRESULT CKRVListCtrl::OnGetDispInfo(Message& m) {
    auto& info = reinterpret_cast<NMLVDISPINFOW*>(m.lParam)->item;
    if (info.iItem < 0 || static_cast<size_t>(info.iItem) >= rows_.Count())
        return 0;
    if ((info.mask & LVIF_TEXT) != 0 && info.pszText != nullptr && info.cchTextMax > 0)
        lstrcpynW(info.pszText, CellText(info.iItem, info.iSubItem).c_str(), info.cchTextMax);
    if ((info.mask & LVIF_IMAGE) != 0)
        info.iImage = rows_.Image(static_cast<size_t>(info.iItem));
    return 0;
}

// Type-to-find in an owner-data list: the list view asks for the row whose
// name starts with what was typed (LVN_ODFINDITEM docs).
LRESULT CKRVListCtrl::OnFindItem(Message& m) {
    const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(m.lParam);
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr)
        return -1;
    const auto row =
        rows_.FindByPrefix(find.lvfi.psz, static_cast<size_t>(std::max(find.iStart, 0)),
                           (find.lvfi.flags & LVFI_WRAP) != 0);
    return row ? static_cast<LRESULT>(*row) : -1;
}

LRESULT CKRVListCtrl::OnKeyDown(Message& m) {
    const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(m.lParam);
    if (key.wVKey == VK_SPACE && checkBoxes_)
        ToggleSelectedChecks();
    m.handled = false;  // the parent sees the key too
    return 0;
}

LRESULT CKRVListCtrl::OnScroll(Message& m) {
    LRESULT result = DefaultProcessing(m);
    Invalidate();
    return result;
}

LRESULT CKRVListCtrl::OnThemeChanged(Message& m) {
    OpenThemes();
    Invalidate();
    m.handled = false;
    return 0;
}

// ---- Painting -------------------------------------------------------------------------

LRESULT CKRVListCtrl::OnMeasureItem(Message& m) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
    item.itemHeight = static_cast<UINT>(metrics_.rowHeight);
    return TRUE;
}

LRESULT CKRVListCtrl::OnCustomDraw(Message&) {
    return CDRF_NOTIFYITEMDRAW;
}

LRESULT CKRVListCtrl::OnPaint(Message& m) {
    rowLayout_.reset();  // columns may have moved since the last paint
    const RowRange rows = RowsInView();
    const View view{rows.first, rows.last, rowsVersion_};
    if (view != shownView_) {
        shownView_ = view;
        OnRowsInView(rows);
    }
    if (!rows_.Empty() || mode_ != ListMode::kBrowse) {
        m.handled = false;
        return 0;
    }
    PaintDc paint(hwnd());
    PaintEmptyText(paint.get());
    return 0;
}

// Pictures of the window (PrintWindow) show the empty-folder text as well.
LRESULT CKRVListCtrl::OnPrintClient(Message& m) {
    rowLayout_.reset();
    if (!rows_.Empty() || mode_ != ListMode::kBrowse) {
        m.handled = false;
        return 0;
    }
    PaintEmptyText(reinterpret_cast<HDC>(m.wParam));
    return 0;
}

void CKRVListCtrl::PaintEmptyText(HDC dc) {
    RECT client = ClientRect();
    // The header is a child window and paints itself; the text starts 50
    // pixels from the top of the client area.
    FillSysColour(dc, client, COLOR_WINDOW);
    RECT text = ToRect(EmptyTextRect(ToPixel(client), metrics_));
    SavedDcState saved(dc);
    SelectObject(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, kEmptyFolderText, -1, &text, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

LRESULT CKRVListCtrl::OnDrawItem(Message& m) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    if (item.itemID == static_cast<UINT>(-1))
        return TRUE;
    // One row at a time, drawn off-screen and copied in one step.
    OffscreenCanvas canvas(item.hDC, item.rcItem);
    if (!canvas.ok())
        return TRUE;
    SelectObject(canvas.dc(), reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    FillSysColour(canvas.dc(), item.rcItem, COLOR_WINDOW);
    PaintRow(canvas.dc(), static_cast<int>(item.itemID), item.rcItem);
    canvas.Present();
    return TRUE;
}

// The row's bounds come with WM_DRAWITEM: every question to the list view
// is a message, and a paint asks many. A selected row is drawn so whether
// or not the list has the focus.
void CKRVListCtrl::PaintRow(HDC dc, int row, const RECT& bounds) {
    const bool selected = IsSelected(row);
    const ItemRecord* record = Record(row);
    if (record == nullptr)
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    PaintRowBackground(dc, row, *record, bounds, selected);

    const RowLayout& layout = LayoutFor(row, bounds);
    RECT iconRect = layout.At(layout.icon, bounds);
    // The control's own boxes are off, so it keeps no state-image room:
    // leave it here, the box goes into it.
    if (checkBoxes_)
        iconRect.left += metrics_.stateImageWidth;
    if (checkBoxes_)
        PaintCheckBox(dc, iconRect, bounds, *record, IsChecked(row));
    PaintRowIcon(dc, row, RowIconOrigin(ToPixel(iconRect), checkBoxes_, metrics_));
    PaintCells(dc, row, *record, selected, layout, bounds);
}

// The row's icon at the list's icon size. The shell's small image list is
// made for the system DPI; on a monitor of another scale the icon is drawn
// stretched to the size there (DrawIconEx scales, ImageList_Draw cuts).
void CKRVListCtrl::PaintRowIcon(HDC dc, int row, PixelPoint origin) {
    HIMAGELIST images = environment_.smallImages;
    if (images == nullptr)
        return;
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    const int side = metrics_.iconSize;
    if (width == side && height == side) {
        ImageList_Draw(images, rows_.Image(static_cast<size_t>(row)), dc, origin.x, origin.y,
                       ILD_TRANSPARENT);
        return;
    }
    if (HICON icon =
            ImageList_GetIcon(images, rows_.Image(static_cast<size_t>(row)), ILD_TRANSPARENT)) {
        DrawIconEx(dc, origin.x, origin.y, icon, side, side, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
}

void CKRVListCtrl::PaintRowBackground(HDC dc, int row, const ItemRecord& record, const RECT& bounds,
                                      bool selected) {
    RECT below = bounds;
    below.top += 1;
    if (record.IsMissing())
        FillColour(dc, below, kMissingItemBackground);
    const bool themed = environment_.Themed() && environment_.VistaOrLater() && listTheme_;
    if (selected) {
        if (themed)
            DrawThemeBackground(listTheme_.get(), dc, LVP_LISTITEM, LISS_SELECTED, &below, nullptr);
        else
            FillSysColour(dc, bounds, COLOR_HIGHLIGHT);
    } else if (row == hotRow_ && listTheme_) {
        DrawThemeBackground(listTheme_.get(), dc, LVP_LISTITEM, LISS_HOT, &below, nullptr);
    }
}

void CKRVListCtrl::PaintCheckBox(HDC dc, const RECT& iconRect, const RECT& bounds,
                                 const ItemRecord& record, bool checked) {
    SIZE size{metrics_.defaultCheckBoxSide, metrics_.defaultCheckBoxSide};
    if (buttonTheme_)
        GetThemePartSize(buttonTheme_.get(), dc, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_TRUE,
                         &size);
    RECT box =
        ToRect(CheckBoxRect(ToPixel(iconRect), bounds.top, metrics_.rowHeight, size.cx, size.cy));
    const bool hasDescriptor = record.descriptor.has_value();
    if (environment_.Themed() && buttonTheme_) {
        const int state = !hasDescriptor ? CBS_UNCHECKEDDISABLED
                          : checked      ? CBS_CHECKEDNORMAL
                                         : CBS_UNCHECKEDNORMAL;
        DrawThemeBackground(buttonTheme_.get(), dc, BP_CHECKBOX, state, &box, nullptr);
        return;
    }
    InflateRect(&box, 1, 1);
    FillSysColour(dc, box, COLOR_WINDOW);
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
    if (!hasDescriptor) {
        Font marlett = MakeSymbolFont(L"marlett", metrics_.uncheckableGlyphHeight);
        SelectedObject font(dc, marlett.get());
        TextOutW(dc, box.left + Scale(1), box.top, L"r", 1);
    } else if (checked) {
        Font marlett = MakeSymbolFont(L"marlett", metrics_.checkedGlyphHeight);
        SelectedObject font(dc, marlett.get());
        TextOutW(dc, box.left - Scale(1), box.top - Scale(3), L"a", 1);
    }
}

// Where a row's icon and cell labels lie, relative to the row's bounds: the
// same for every row of one paint, asked of the list view once per paint.
const CKRVListCtrl::RowLayout& CKRVListCtrl::LayoutFor(int row, const RECT& bounds) {
    if (rowLayout_)
        return *rowLayout_;
    const auto relative = [&](const RECT& rect) {
        return RECT{rect.left - bounds.left, rect.top - bounds.top, rect.right - bounds.left,
                    rect.bottom - bounds.top};
    };
    RowLayout layout;
    layout.icon = relative(ItemRect(row, LVIR_ICON));
    const int columns = columnCount_ > 0 ? columnCount_ : HeaderCount();
    for (int column = 0; column < columns; ++column)
        layout.labels.push_back(relative(SubItemRect(row, column, LVIR_LABEL)));
    return rowLayout_.emplace(std::move(layout));
}

void CKRVListCtrl::PaintCells(HDC dc, int row, const ItemRecord& record, bool selected,
                              const RowLayout& layout, const RECT& bounds) {
    const int columns = static_cast<int>(layout.labels.size());
    SetTextColor(dc, selected ? selectedText_ : normalText_);
    const ListEnvironment::CellPictures pictures = environment_.CellPicturesFor(metrics_.iconSize);
    const int side = metrics_.iconSize;
    for (int column = 0; column < columns; ++column) {
        const std::wstring& text = CellText(row, column);
        // No image list is attached, so column 0's label starts at the row's
        // left edge and the text rectangle makes room for the icon.
        RECT cell = layout.At(layout.labels[static_cast<size_t>(column)], bounds);
        if (column == 0 && checkBoxes_)
            cell.left += metrics_.stateImageWidth;
        const PixelRect textRect = CellTextRect(ToPixel(cell), column, checkBoxes_, metrics_);
        Gdiplus::Image* icon = nullptr;
        if (column == kColumnAccess && record.access >= 0 && record.access <= 2)
            icon = pictures.access[record.access];
        else if (column == kColumnOwner)
            icon = pictures.owner;
        if (ColumnHasCellIcon(column) && icon != nullptr) {
            const PixelPoint origin = CellIconOrigin(ToPixel(cell), metrics_);
            DrawPicture(dc, icon, RECT{origin.x, origin.y, origin.x + side, origin.y + side});
        }
        RECT textBox = ToRect(textRect);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

}  // namespace vm
